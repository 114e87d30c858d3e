// The phone page: the current starter, the clock ticking from the time base the program sends,
// the last result and the ranked protocol, kept up to date over the event stream.
// Plain ES2017 without modules; every text goes in with textContent, never as markup.
(function () {
    'use strict';

    var L = RittLive;
    var byId = L.byId, str = L.str, setText = L.setText, heading = L.heading;
    var texts = {
        page: 'Live-Ergebnisse', lastResult: 'Letztes Ergebnis', toBeat: 'Zu schlagen',
        offline: 'Verbindung unterbrochen', starter: 'Am Start'
    };

    // The protocol as the stream has built it: the table rows and rank texts of its rows.
    var trs = [];
    var rankTexts = [];
    var clock = L.clock('clock');

    function show(el, visible) { el.hidden = !visible; }

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

    function renderHeads() {
        L.fillHeads(byId('heads'), L.COLUMNS);
    }

    function makeRow(row) {
        return L.makeRow(row, L.COLUMNS);
    }

    function applyRanks(rows) {
        for (var k = 0; k < rows.length; ++k) {
            var text = L.rankOf(rows, k, rankTexts[k - 1]);
            if (rankTexts[k] !== text) {
                rankTexts[k] = text;
                setText(trs[k].firstChild, text);
            }
        }
    }

    // One splice of the rows; only the rows it brings are built, the others keep their elements.
    function splice(at, remove, insert, whole) {
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
        trs = trs.slice(0, at).concat(added, trs.slice(at + remove));
        rankTexts = rankTexts.slice(0, at).concat(new Array(insert.length),
            rankTexts.slice(at + remove));
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
        clock.set(d);
        byId('clock').className = 'clock ' + str(run.phase) + (run.countdown ? ' countdown' : '');

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

    function setOffline(offline) {
        show(byId('offline'), offline);
        document.body.classList.toggle('stale', offline);
    }

    applyTexts();
    L.stream({
        texts: function (t) {
            L.takeTexts(texts, t);
            applyTexts();
        },
        live: onLive, headings: applyTexts, splice: splice, rowsApplied: applyRanks,
        offline: setOffline, wake: true
    });
})();
