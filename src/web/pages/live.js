// What the phone page and the overlays share: text helpers, the protocol's headings, the clock
// ticking from the time base the program sends, and the event stream with its rows.
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

    // The clock in the element with the id: set() takes a live message's time base, and a
    // running clock ticks on each frame from it, so no message is needed for each hundredth.
    function clock(id) {
        var base = null; // {hundredths, at, moving, countdown, decimals}
        var frameId = 0;

        function render() {
            if (base)
                setText(byId(id), formatHundredths(shownHundredths(base, performance.now()),
                    base.decimals));
        }
        function frame() {
            render();
            frameId = base && base.moving ? requestAnimationFrame(frame) : 0;
        }
        function set(d) {
            var run = d.run || {};
            base = {
                hundredths: Number(run.hundredths) || 0, at: performance.now(),
                moving: !!run.moving, countdown: !!run.countdown,
                decimals: d.decimals === 0 || d.decimals === 1 ? d.decimals : 2
            };
            // A standing clock shows the program's own text of its time.
            if (!base.moving && typeof run.time === 'string' && run.time !== '')
                setText(byId(id), run.time);
            else
                render();
            if (base.moving && !frameId)
                frameId = requestAnimationFrame(frame);
        }
        return { set: set };
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
        takeTexts: takeTexts, formatHundredths: formatHundredths, clock: clock, stream: stream
    };
})();
