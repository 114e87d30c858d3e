// The live-stream graphics: the clock, the result just entered and the leaders, on a transparent
// page of 1920x1080. URL parameters: color, background, accent (#rgb, #rrggbb, #rrggbbaa or a
// colour name), size (font size in px, 10..200) and seconds (how long a result shows).
// Plain ES2017 without modules; every text goes in with textContent, never as markup.
(function () {
    'use strict';

    var kind = document.body.getAttribute('data-overlay');
    var params = new URLSearchParams(location.search);
    var DEFAULT_HEADINGS = ['St.Nr', 'KoNr.', 'Pferd/Pony', 'Reitername', 'Verein', 'R.-Zeit',
        'ZF', 'Straf', 'Fehler', 'Punkte', 'Zeit', 'Rang'];
    var texts = { toBeat: 'Zu schlagen', headings: [] };
    var protocolHeadings = [];
    var rows = [];
    var ranks = []; // the rank each row shows, worked out after each splice
    var revision = null;
    var clockBase = null;
    var frameId = 0;
    var source = null;
    var retryTimer = 0;
    var lastResult; // the result row seen last, as JSON; undefined until a stream's first message
    var resultRevision = -1;
    var hideTimer = 0;

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
        if (el && el.textContent !== text)
            el.textContent = text;
    }
    function heading(col) {
        return protocolHeadings[col] || (texts.headings && texts.headings[col]) ||
            DEFAULT_HEADINGS[col];
    }

    // Only plain colour forms pass; anything else keeps the default.
    function colour(name) {
        var value = params.get(name);
        return value !== null && /^(#[0-9a-fA-F]{3}|#[0-9a-fA-F]{6}|#[0-9a-fA-F]{8}|[a-zA-Z]+)$/.test(value)
            ? value : null;
    }
    function number(name, low, high, fallback) {
        var text = params.get(name);
        var value = text === null || text.trim() === '' ? NaN : Number(text);
        return isFinite(value) ? Math.min(high, Math.max(low, value)) : fallback;
    }

    var root = document.documentElement.style;
    [['color', '--fg'], ['background', '--bg'], ['accent', '--accent']].forEach(function (p) {
        var value = colour(p[0]);
        if (value !== null)
            root.setProperty(p[1], value);
    });
    var size = number('size', 10, 200, null);
    if (size !== null)
        root.setProperty('font-size', size + 'px');
    var showMs = number('seconds', 1, 3600, 8) * 1000;

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

    function renderClock() {
        if (!clockBase)
            return;
        var h = clockBase.hundredths;
        if (clockBase.moving) {
            var elapsed = (performance.now() - clockBase.at) / 10;
            h = clockBase.countdown ? Math.max(0, h - elapsed) : h + elapsed;
        }
        setText(byId('time'), formatHundredths(h, clockBase.decimals));
    }
    function frame() {
        renderClock();
        frameId = clockBase && clockBase.moving ? requestAnimationFrame(frame) : 0;
    }

    function applyLabels() {
        setText(byId('faultsLabel'), heading(8));
        setText(byId('rankHead'), heading(11));
        setText(byId('rankLabel'), heading(11));
        setText(byId('nameHead'), heading(3));
        setText(byId('pointsHead'), heading(9));
        setText(byId('timeHead'), heading(10));
        setText(byId('toBeatLabel'), texts.toBeat);
    }

    function liveClock(d) {
        var s = d.starter || {};
        var run = d.run || {};
        setText(byId('startNumber'), s.startNumber);
        setText(byId('rider'), s.rider);
        setText(byId('horse'), s.horse);
        setText(byId('faults'), (d.scoring || {}).faults);
        clockBase = {
            hundredths: Number(run.hundredths) || 0, at: performance.now(),
            moving: !!run.moving, countdown: !!run.countdown,
            decimals: d.decimals === 0 || d.decimals === 1 ? d.decimals : 2
        };
        // A standing clock shows the program's own text of its time.
        if (!clockBase.moving && typeof run.time === 'string' && run.time !== '')
            setText(byId('time'), run.time);
        else
            renderClock();
        if (clockBase.moving && !frameId)
            frameId = requestAnimationFrame(frame);
        var panel = byId('panel');
        panel.classList.toggle('countdown', !!run.countdown);
        // Nothing to show before a rider is chosen and while the clock stands at zero.
        panel.hidden = !(str(s.rider) || str(s.startNumber) || str(s.horse)) &&
            (!run.phase || run.phase === 'idle');
    }

    // A result shows when a new one is entered: a row that was not there, at a newer revision.
    function liveResult(d) {
        var result = d.result || {};
        var row = result.row || null;
        var key = row ? JSON.stringify(row) : '';
        var rev = Number(d.revision);
        var fresh = lastResult !== undefined && row && key !== lastResult && rev > resultRevision;
        if (lastResult === undefined || rev > resultRevision)
            resultRevision = rev;
        lastResult = key;
        // NEXT clears the result; the one on screen still shows its full time.
        if (!fresh)
            return;
        var aborted = str(row.abort) !== '';
        setText(byId('rank'), str(result.rank) || str(row.rank));
        setText(byId('rider'), row.rider);
        setText(byId('horse'), row.horse);
        setText(byId('time'), aborted ? row.abort : row.time);
        setText(byId('faults'), row.faults);
        byId('panel').hidden = false;
        clearTimeout(hideTimer);
        hideTimer = setTimeout(function () { byId('panel').hidden = true; }, showMs);
    }

    function liveLeaders(d) {
        var beat = d.toBeat;
        setText(byId('toBeatValue'), beat ? str(beat.points) + ' \u2013 ' + str(beat.time) : '');
        byId('toBeat').hidden = !beat;
    }

    function renderLeaders() {
        var body = byId('rows');
        var top = rows.slice(0, 5);
        while (body.children.length > top.length)
            body.removeChild(body.lastChild);
        top.forEach(function (row, k) {
            var tr = body.children[k];
            if (!tr) {
                tr = body.appendChild(document.createElement('tr'));
                ['rank', 'name', 'num', 'num time'].forEach(function (cls) {
                    tr.appendChild(document.createElement('td')).className = cls;
                });
                var name = tr.children[1];
                name.appendChild(document.createElement('div')).className = 'rider';
                name.appendChild(document.createElement('div')).className = 'horse';
            }
            var aborted = str(row.abort) !== '';
            setText(tr.children[0], ranks[k]);
            setText(tr.children[1].children[0], row.rider);
            setText(tr.children[1].children[1], row.horse);
            setText(tr.children[2], aborted ? '' : row.points);
            setText(tr.children[3], aborted ? row.abort : row.time);
        });
        byId('panel').hidden = top.length === 0;
    }

    function onRows(m) {
        var whole = m.base === -1;
        if (!whole && m.base !== revision) {
            restart();
            return;
        }
        if (m.headings) {
            protocolHeadings = m.headings.map(str);
            applyLabels();
        }
        var at = whole ? 0 : m.at;
        var remove = whole ? rows.length : m.remove;
        if (!(at >= 0 && remove >= 0 && at + remove <= rows.length)) {
            restart();
            return;
        }
        rows = rows.slice(0, at).concat(m.insert || [], rows.slice(at + remove));
        if (rows.length !== m.count) {
            restart();
            return;
        }
        revision = m.rev;
        ranks = [];
        for (var k = 0; k < rows.length; ++k)
            ranks[k] = rankOf(rows, k, ranks[k - 1]);
        renderLeaders();
    }

    function onTexts(t) {
        texts.headings = Array.isArray(t.headings) ? t.headings.map(str) : [];
        if (typeof t.toBeat === 'string' && t.toBeat !== '')
            texts.toBeat = t.toBeat;
        applyLabels();
    }

    var onLive = { clock: liveClock, result: liveResult, leaders: liveLeaders }[kind] ||
        function () {};

    function listen(name, handler) {
        source.addEventListener(name, function (e) {
            var data;
            try {
                data = JSON.parse(e.data);
            } catch (err) {
                return;
            }
            handler(data);
        });
    }

    function connect() {
        clearTimeout(retryTimer);
        source = new EventSource('/api/events');
        listen('texts', onTexts);
        listen('live', onLive);
        if (kind === 'leaders')
            listen('rows', onRows);
        // After a reconnect the revisions may start afresh (the program restarted): the first
        // message sets the result that counts as seen.
        source.onopen = function () { lastResult = undefined; };
        source.onerror = function () {
            if (source.readyState === EventSource.CLOSED)
                retryTimer = setTimeout(restart, 3000);
        };
    }
    function restart() {
        if (source)
            source.close();
        revision = null;
        connect();
    }

    applyLabels();
    connect();
})();
