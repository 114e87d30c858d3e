// What the phone page, the overlays and the show page share: text helpers, the protocol's
// headings, the clock ticking from the time base the program sends, the ranked list's rows, and
// the event stream with its rows.
// Plain ES2017 without modules; every text goes in with textContent, never as markup.
var RittLive = (function () {
    'use strict';

    var DEFAULT_HEADINGS = ['St.Nr', 'KoNr.', 'Pferd/Pony', 'Reitername', 'Verein', 'R.-Zeit',
        'ZF', 'Straf', 'Fehler', 'Punkte', 'Zeit', 'Rang'];
    var protocolHeadings = [];
    var textHeadings = [];

    function byId(id) { return document.getElementById(id); }
    function str(value) { return value === undefined || value === null ? '' : String(value); }
    // A row's rank: its own text (an abort), the rank of the row above (a tie), or its place.
    function rankOf(rows, k, above) {
        var row = rows[k];
        if (Object.prototype.hasOwnProperty.call(row, 'rank'))
            return str(row.rank);
        return row.tie ? str(above) : String(k + 1);
    }
    // An element a page does not have is passed over.
    function setText(el, value) {
        var text = str(value);
        if (el && el.textContent !== text)
            el.textContent = text;
    }

    // Protocol headings: the protocol's own, else the language's, else the built-in ones.
    function heading(col) {
        return protocolHeadings[col] || textHeadings[col] || DEFAULT_HEADINGS[col];
    }

    // A texts message: the language's headings, and every text the page knows, when not empty.
    function takeTexts(texts, t) {
        textHeadings = Array.isArray(t.headings) ? t.headings.map(str) : [];
        Object.keys(texts).forEach(function (key) {
            if (typeof t[key] === 'string' && t[key] !== '')
                texts[key] = t[key];
        });
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

    // The clock in the element (or the element with the id): set() takes a live message's time
    // base, and a running clock ticks on each frame from it, so no message is needed for each
    // hundredth. ageMs: how long before now the message's time was taken.
    function clock(target) {
        var base = null; // {hundredths, at, moving, countdown, decimals}
        var frameId = 0;
        function el() { return typeof target === 'string' ? byId(target) : target; }

        function render() {
            if (base)
                setText(el(), formatHundredths(shownHundredths(base, performance.now()),
                    base.decimals));
        }
        function frame() {
            render();
            frameId = base && base.moving ? requestAnimationFrame(frame) : 0;
        }
        function set(d, ageMs) {
            var run = d.run || {};
            base = {
                hundredths: Number(run.hundredths) || 0,
                at: performance.now() - Math.max(0, Number(ageMs) || 0),
                moving: !!run.moving, countdown: !!run.countdown,
                decimals: d.decimals === 0 || d.decimals === 1 ? d.decimals : 2
            };
            // A standing clock shows the program's own text of its time.
            if (!base.moving && typeof run.time === 'string' && run.time !== '')
                setText(el(), run.time);
            else
                render();
            if (base.moving && !frameId)
                frameId = requestAnimationFrame(frame);
        }
        return { set: set };
    }

    // The ranked list's columns; "wide" ones show only where the screen has room, and the narrow
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

    // The headings row of the columns, built in the element the first time.
    function fillHeads(tr, columns) {
        if (!tr.firstChild)
            columns.forEach(function (c) {
                var cell = tr.appendChild(document.createElement('div'));
                cell.className = c.cls;
                cell.setAttribute('role', 'columnheader');
            });
        columns.forEach(function (c, i) {
            fillCell(tr.children[i], heading(c.heads[0]),
                c.heads.length > 1 ? heading(c.heads[1]) : '', c.heads.length > 1);
        });
    }

    // One row of the list; its rank cell, the first, is left to the page.
    function makeRow(row, columns) {
        var tr = document.createElement('div');
        var aborted = str(row.abort) !== '';
        tr.className = aborted ? 'row aborted' : 'row';
        tr.setAttribute('role', 'row');
        columns.forEach(function (c) {
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

    // The event stream, calling the page's handlers: texts(t) and live(d) with each message;
    // with rows, the protocol as splices: splice(at, remove, insert, whole) before the rows
    // change, rowsApplied(rows) once they are whole again; headings() when the protocol brings
    // its own; offline(bool) on a failure and the next message; open() on each connection;
    // wake: start afresh when the page shows again after a long sleep.
    function stream(handlers) {
        var source = null;
        var retryTimer = 0;
        var hiddenSince = 0;
        var rows = [];
        var revision = null;

        function onRows(m) {
            var whole = m.base === -1;
            if (!whole && m.base !== revision) {
                restart();
                return;
            }
            if (m.headings) {
                protocolHeadings = m.headings.map(str);
                handlers.headings();
            }
            var at = whole ? 0 : m.at;
            var remove = whole ? rows.length : m.remove;
            var insert = m.insert || [];
            if (!(at >= 0 && remove >= 0 && at + remove <= rows.length)) {
                restart();
                return;
            }
            if (handlers.splice)
                handlers.splice(at, remove, insert, whole);
            rows = rows.slice(0, at).concat(insert, rows.slice(at + remove));
            if (rows.length !== m.count) {
                restart();
                return;
            }
            revision = m.rev;
            handlers.rowsApplied(rows);
        }

        function listen(name, handler) {
            source.addEventListener(name, function (e) {
                var data;
                try {
                    data = JSON.parse(e.data);
                } catch (err) {
                    return;
                }
                if (handlers.offline)
                    handlers.offline(false);
                handler(data);
            });
        }

        function connect() {
            clearTimeout(retryTimer);
            source = new EventSource('/api/events');
            listen('texts', handlers.texts);
            listen('live', handlers.live);
            if (handlers.rowsApplied)
                listen('rows', onRows);
            if (handlers.open)
                source.onopen = handlers.open;
            source.onerror = function () {
                if (handlers.offline)
                    handlers.offline(true);
                // A refused or failed stream is not retried by the browser; the page retries.
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
        if (handlers.wake)
            document.addEventListener('visibilitychange', function () {
                if (document.hidden)
                    hiddenSince = Date.now();
                else if (hiddenSince && Date.now() - hiddenSince > 10000)
                    restart();
            });

        connect();
    }

    return {
        byId: byId, str: str, rankOf: rankOf, setText: setText, heading: heading,
        takeTexts: takeTexts, formatHundredths: formatHundredths, clock: clock, stream: stream,
        COLUMNS: COLUMNS, fillHeads: fillHeads, makeRow: makeRow
    };
})();
