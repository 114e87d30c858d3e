// The live-stream graphics: the clock, the result just entered and the leaders, on a transparent
// page of 1920x1080. URL parameters: color, background, accent (#rgb, #rrggbb, #rrggbbaa or a
// colour name), size (font size in px, 10..200) and seconds (how long a result shows).
// Plain ES2017 without modules; every text goes in with textContent, never as markup.
(function () {
    'use strict';

    var kind = document.body.getAttribute('data-overlay');
    var params = new URLSearchParams(location.search);
    var L = RittLive;
    var byId = L.byId, str = L.str, setText = L.setText, heading = L.heading;
    var texts = { toBeat: 'Zu schlagen' };
    var clock = L.clock('time');
    var lastResult; // the result row seen last, as JSON; undefined until a stream's first message
    var resultRevision = -1;
    var hideTimer = 0;

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
        clock.set(d);
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

    function renderLeaders(rows, ranks) {
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

    // The leaders with the rank each row shows, worked out after each splice.
    function onRows(rows) {
        var ranks = [];
        for (var k = 0; k < rows.length; ++k)
            ranks[k] = L.rankOf(rows, k, ranks[k - 1]);
        renderLeaders(rows, ranks);
    }

    applyLabels();
    L.stream({
        texts: function (t) {
            L.takeTexts(texts, t);
            applyLabels();
        },
        live: { clock: liveClock, result: liveResult, leaders: liveLeaders }[kind] ||
            function () {},
        headings: applyLabels,
        rowsApplied: kind === 'leaders' ? onRows : null,
        // After a reconnect the revisions may start afresh (the program restarted): the first
        // message sets the result that counts as seen.
        open: function () { lastResult = undefined; }
    });
})();
