// The phone page: the current starter, the clock ticking from the time base the program sends,
// the last result and the ranked protocol, kept up to date over the event stream.
// Plain ES2017 without modules; every text goes in with textContent, never as markup.
(function () {
    'use strict';

    var DEFAULT_HEADINGS = ['St.Nr', 'KoNr.', 'Pferd/Pony', 'Reitername', 'Verein', 'R.-Zeit',
        'ZF', 'Straf', 'Fehler', 'Punkte', 'Zeit', 'Rang'];
    var texts = {
        page: 'Live-Ergebnisse', lastResult: 'Letztes Ergebnis', toBeat: 'Zu schlagen',
        offline: 'Verbindung unterbrochen', starter: 'Am Start', headings: []
    };
    var protocolHeadings = [];

    // The protocol as the stream has built it: row objects, their table rows and rank texts.
    var rows = [];
    var trs = [];
    var rankTexts = [];
    var revision = null;

    var clockBase = null; // {hundredths, at, moving, countdown, decimals}
    var frameId = 0;
    var source = null;
    var retryTimer = 0;
    var hiddenSince = 0;

    function byId(id) { return document.getElementById(id); }
    function str(value) { return value === undefined || value === null ? '' : String(value); }
    // A row's rank: its own text (an abort), the rank of the row above (a tie), or its place.
    function rankOf(rows, k, above) {
        var row = rows[k];
        if (Object.prototype.hasOwnProperty.call(row, 'rank'))
            return str(row.rank);
        return row.tie ? str(above) : String(k + 1);
    }
    function setText(el, value) {
        var text = str(value);
        if (el.textContent !== text)
            el.textContent = text;
    }
    function show(el, visible) { el.hidden = !visible; }

    // Protocol headings: the protocol's own, else the language's, else the built-in ones.
    function heading(col) {
        return protocolHeadings[col] || (texts.headings && texts.headings[col]) ||
            DEFAULT_HEADINGS[col];
    }

    // Whole seconds, a comma and 0 to 2 decimals, truncated: as the program shows a time.
    function formatHundredths(hundredths, decimals) {
        var h = Math.max(0, Math.floor(hundredths));
        var secs = Math.floor(h / 100);
        if (decimals === 0)
            return String(secs);
        if (decimals === 1)
            return secs + ',' + (Math.floor(h / 10) % 10);
        var cents = h % 100;
        return secs + ',' + (cents < 10 ? '0' : '') + cents;
    }

    function shownHundredths(base, now) {
        if (!base.moving)
            return base.hundredths;
        var elapsed = (now - base.at) / 10;
        return base.countdown ? Math.max(0, base.hundredths - elapsed) : base.hundredths + elapsed;
    }

    function renderClock() {
        if (clockBase)
            setText(byId('clock'),
                formatHundredths(shownHundredths(clockBase, performance.now()), clockBase.decimals));
    }

    function frame() {
        renderClock();
        frameId = clockBase && clockBase.moving ? requestAnimationFrame(frame) : 0;
    }

    function applyTexts() {
        document.title = texts.page;
        setText(byId('offline'), texts.offline);
        setText(byId('starterLabel'), texts.starter);
        setText(byId('lastLabel'), texts.lastResult);
        setText(byId('toBeatLabel'), texts.toBeat);
        setText(byId('faultsLabel'), heading(8));
        setText(byId('penaltyLabel'), heading(7));
        setText(byId('timeFaultsLabel'), heading(6));
        renderHeads();
    }

    // The list's columns; "wide" ones show only where the screen has room, and the narrow
    // screen shows the faults under the points instead. Rows are blocks of their own, not a
    // table, so a row put in lays out alone, and rows off the screen are not laid out at all.
    var COLUMNS = [
        { cls: 'rank', heads: [11] },
        { cls: 'sn', heads: [0], field: 'startNumber' },
        { cls: 'hn wide', heads: [1], field: 'headNumber' },
        { cls: 'name', heads: [3, 2], field: 'rider', sub: 'horse' },
        { cls: 'clubcol wide', heads: [4], field: 'club' },
        { cls: 'num wide', heads: [5], field: 'rideTime' },
        { cls: 'num wide', heads: [6], field: 'timeFaults' },
        { cls: 'num wide', heads: [7], field: 'penaltySeconds' },
        { cls: 'num wide', heads: [8], field: 'faults' },
        { cls: 'num pts', heads: [9, 8], field: 'points', sub: 'faults' },
        { cls: 'num time', heads: [10], field: 'time' }
    ];

    // A cell of one text, or of two lines when the column has a second one.
    function fillCell(cell, main, sub, twoLines) {
        if (!twoLines) {
            setText(cell, main);
            return;
        }
        var first = cell.firstChild;
        if (!first) {
            first = cell.appendChild(document.createElement('span'));
            first.className = 'main';
            cell.appendChild(document.createElement('span')).className = 'sub';
        }
        setText(first, main);
        setText(first.nextSibling, sub);
    }

    function renderHeads() {
        var tr = byId('heads');
        if (!tr.firstChild)
            COLUMNS.forEach(function (c) {
                var cell = tr.appendChild(document.createElement('div'));
                cell.className = c.cls;
                cell.setAttribute('role', 'columnheader');
            });
        COLUMNS.forEach(function (c, i) {
            fillCell(tr.children[i], heading(c.heads[0]),
                c.heads.length > 1 ? heading(c.heads[1]) : '', c.heads.length > 1);
        });
    }

    function makeRow(row) {
        var tr = document.createElement('div');
        var aborted = str(row.abort) !== '';
        tr.className = aborted ? 'row aborted' : 'row';
        tr.setAttribute('role', 'row');
        COLUMNS.forEach(function (c) {
            var td = tr.appendChild(document.createElement('div'));
            td.className = c.cls;
            td.setAttribute('role', 'cell');
            if (!c.field)
                return;
            var main = str(row[c.field]);
            if (c.field === 'time' && aborted)
                main = str(row.abort);
            fillCell(td, main, c.sub ? str(row[c.sub]) : '', !!c.sub);
        });
        return tr;
    }

    function applyRanks() {
        for (var k = 0; k < rows.length; ++k) {
            var text = rankOf(rows, k, rankTexts[k - 1]);
            if (rankTexts[k] !== text) {
                rankTexts[k] = text;
                setText(trs[k].firstChild, text);
            }
        }
    }

    // One splice of the rows; only the rows it brings are built, the others keep their elements.
    function onRows(m) {
        var whole = m.base === -1;
        if (!whole && m.base !== revision) {
            restart();
            return;
        }
        if (m.headings) {
            protocolHeadings = m.headings.map(str);
            applyTexts();
        }
        var at = whole ? 0 : m.at;
        var remove = whole ? rows.length : m.remove;
        var insert = m.insert || [];
        if (!(at >= 0 && remove >= 0 && at + remove <= rows.length)) {
            restart();
            return;
        }
        var body = byId('rows');
        if (whole)
            body.textContent = '';
        else
            for (var i = at; i < at + remove; ++i)
                body.removeChild(trs[i]);
        var added = insert.map(makeRow);
        var fragment = document.createDocumentFragment();
        added.forEach(function (tr) { fragment.appendChild(tr); });
        body.insertBefore(fragment, trs[at + remove] || null);
        rows = rows.slice(0, at).concat(insert, rows.slice(at + remove));
        trs = trs.slice(0, at).concat(added, trs.slice(at + remove));
        rankTexts = rankTexts.slice(0, at).concat(new Array(insert.length),
            rankTexts.slice(at + remove));
        if (rows.length !== m.count) {
            restart();
            return;
        }
        revision = m.rev;
        applyRanks();
    }

    function onLive(d) {
        setText(byId('title1'), d.title1);
        setText(byId('title2'), d.title2);
        var s = d.starter || {};
        setText(byId('startNumber'), s.startNumber);
        setText(byId('rider'), s.rider);
        setText(byId('horse'), s.horse);
        setText(byId('club'), s.club);

        var run = d.run || {};
        var decimals = d.decimals === 0 || d.decimals === 1 ? d.decimals : 2;
        clockBase = {
            hundredths: Number(run.hundredths) || 0, at: performance.now(),
            moving: !!run.moving, countdown: !!run.countdown, decimals: decimals
        };
        byId('clock').className = 'clock ' + str(run.phase) + (run.countdown ? ' countdown' : '');
        // A standing clock shows the program's own text of its time.
        if (!clockBase.moving && typeof run.time === 'string' && run.time !== '')
            setText(byId('clock'), run.time);
        else
            renderClock();
        if (clockBase.moving && !frameId)
            frameId = requestAnimationFrame(frame);

        var sc = d.scoring || {};
        setText(byId('faults'), sc.faults);
        setText(byId('penalty'), sc.penaltySeconds);
        setText(byId('timeFaults'), sc.timeFaults);
        setText(byId('info'), d.info);

        var result = d.result || {};
        var row = result.row;
        setText(byId('lastRank'), row ? str(result.rank) || str(row.rank) : '');
        setText(byId('lastRider'), row ? row.rider : '');
        setText(byId('lastHorse'), row ? row.horse : '');
        setText(byId('lastTime'), row ? str(row.abort) || str(row.time) : '');
        setText(byId('lastText'), result.text);
        show(byId('last'), !!row || str(result.text) !== '');

        var beat = d.toBeat;
        setText(byId('toBeatValue'), beat ? heading(9) + ' ' + str(beat.points) + ' \u00b7 ' +
            heading(10) + ' ' + str(beat.time) : '');
        show(byId('toBeat'), !!beat);
    }

    function onTexts(t) {
        Object.keys(texts).forEach(function (key) {
            if (key === 'headings')
                texts.headings = Array.isArray(t.headings) ? t.headings.map(str) : [];
            else if (typeof t[key] === 'string' && t[key] !== '')
                texts[key] = t[key];
        });
        applyTexts();
    }

    function setOffline(offline) {
        show(byId('offline'), offline);
        document.body.classList.toggle('stale', offline);
    }

    function listen(name, handler) {
        source.addEventListener(name, function (e) {
            var data;
            try {
                data = JSON.parse(e.data);
            } catch (err) {
                return;
            }
            setOffline(false);
            handler(data);
        });
    }

    function connect() {
        clearTimeout(retryTimer);
        source = new EventSource('/api/events');
        listen('texts', onTexts);
        listen('rows', onRows);
        listen('live', onLive);
        source.onerror = function () {
            setOffline(true);
            // A refused or failed stream is not retried by the browser; this page retries.
            if (source.readyState === EventSource.CLOSED)
                retryTimer = setTimeout(restart, 3000);
        };
    }

    // A fresh stream: the first messages bring the whole state again.
    function restart() {
        if (source)
            source.close();
        revision = null;
        connect();
    }

    // A phone asleep for a while may hold a connection that is long dead: start afresh.
    document.addEventListener('visibilitychange', function () {
        if (document.hidden)
            hiddenSince = Date.now();
        else if (hiddenSince && Date.now() - hiddenSince > 10000)
            restart();
    });

    applyTexts();
    connect();
})();
