// The show page: every arena of the show as a card, from what their timing PCs sent the broker.
// It asks the server once a second; the running clocks tick in between from their time base.
// Plain ES2017 without modules; every text, an arena's name too, goes in with textContent.
(function () {
    'use strict';

    var L = RittLive;
    var byId = L.byId, str = L.str, setText = L.setText;
    var POLL_MS = 1000;
    var TIMEOUT_MS = 5000;
    var TEXTS_EVERY = 30; // polls between two looks at the texts
    var texts = {
        show: 'Alle Plätze', showOffline: 'Platz nicht verbunden', lastResult: 'Letztes Ergebnis',
        offline: 'Verbindung unterbrochen', starter: 'Am Start'
    };
    // A card is narrow: the phone's columns.
    var COLUMNS = L.COLUMNS.filter(function (c) { return !/\bwide\b/.test(c.cls); });
    var cards = {}; // by arena name
    var polls = 0;

    // What came from an arena is only trusted to be JSON: anything not an object counts as none.
    function obj(value) { return value && typeof value === 'object' ? value : {}; }

    function el(parent, tag, cls) {
        var e = parent.appendChild(document.createElement(tag));
        if (cls)
            e.className = cls;
        return e;
    }

    function makeCard(name) {
        var root = document.createElement('section');
        root.className = 'card arena';
        var head = el(root, 'div', 'arenahead');
        var c = { root: root, name: el(head, 'h2', 'arenaname'), state: el(head, 'span', 'state') };
        c.titles = el(root, 'p', 'titles');
        var starter = c.starter = el(root, 'div', 'starter');
        c.number = el(starter, 'span', 'number');
        var names = el(starter, 'div', 'names');
        c.rider = el(names, 'div', 'rider');
        c.horse = el(names, 'div', 'horse');
        c.clockEl = el(root, 'div', 'clock');
        c.clock = L.clock(c.clockEl);
        c.last = el(root, 'div', 'last');
        c.lastLabel = el(c.last, 'h3');
        var lastStarter = el(c.last, 'div', 'starter');
        c.lastRank = el(lastStarter, 'span', 'number rank');
        var lastNames = el(lastStarter, 'div', 'names');
        c.lastRider = el(lastNames, 'div', 'rider');
        c.lastHorse = el(lastNames, 'div', 'horse');
        c.lastTime = el(lastStarter, 'span', 'lasttime');
        c.lastText = el(c.last, 'p', 'result');
        var table = c.table = el(root, 'div', 'results');
        table.setAttribute('role', 'table');
        c.heads = el(table, 'div', 'row heads');
        c.heads.setAttribute('role', 'row');
        c.rows = el(table, 'div', 'rows');
        c.rows.setAttribute('role', 'rowgroup');
        c.resultsKey = null;
        setText(c.name, name);
        applyCardTexts(c);
        return c;
    }

    function applyCardTexts(c) {
        setText(c.lastLabel, texts.lastResult);
        L.fillHeads(c.heads, COLUMNS);
        setText(c.state, c.online ? '' : texts.showOffline);
    }

    function applyTexts() {
        document.title = texts.show;
        setText(byId('title1'), texts.show);
        setText(byId('offline'), texts.offline);
        Object.keys(cards).forEach(function (name) { applyCardTexts(cards[name]); });
    }

    function renderRows(c, results) {
        // Only a changed list is built anew: a long one costs the browser more than the check.
        var key = JSON.stringify(results);
        if (key === c.resultsKey)
            return;
        c.resultsKey = key;
        var fragment = document.createDocumentFragment();
        (Array.isArray(results) ? results : []).forEach(function (row) {
            if (!row || typeof row !== 'object')
                return;
            var tr = fragment.appendChild(L.makeRow(row, COLUMNS));
            setText(tr.firstChild, row.rank);
        });
        c.table.hidden = !fragment.firstChild;
        c.rows.textContent = '';
        c.rows.appendChild(fragment);
    }

    function renderCard(c, arena) {
        c.online = arena.online === true;
        c.root.classList.toggle('away', !c.online);
        setText(c.state, c.online ? '' : texts.showOffline);

        var live = arena.live && typeof arena.live === 'object' ? arena.live : null;
        var d = obj(live);
        setText(c.titles, [str(d.title1), str(d.title2)].filter(Boolean).join(' \u00b7 '));
        var s = obj(d.starter);
        setText(c.number, s.startNumber);
        setText(c.rider, s.rider);
        setText(c.horse, s.horse);

        // An arena whose PC is gone keeps the time it last sent, standing.
        var run = obj(d.run);
        var moving = c.online && !!run.moving;
        c.clock.set({ run: { hundredths: run.hundredths, moving: moving, countdown: run.countdown,
            time: run.time }, decimals: d.decimals }, d.ageMs);
        c.clockEl.className = 'clock ' + str(run.phase) + (run.countdown ? ' countdown' : '');
        c.starter.hidden = c.clockEl.hidden = !live;

        var result = obj(d.result);
        var row = result.row && typeof result.row === 'object' ? result.row : null;
        setText(c.lastRank, row ? str(result.rank) || str(row.rank) : '');
        setText(c.lastRider, row ? row.rider : '');
        setText(c.lastHorse, row ? row.horse : '');
        setText(c.lastTime, row ? str(row.abort) || str(row.time) : '');
        setText(c.lastText, result.text);
        c.last.hidden = !row && str(result.text) === '';

        renderRows(c, arena.results);
    }

    function render(data) {
        var d = obj(data);
        setText(byId('title2'), d.show);
        var main = byId('arenas');
        var seen = {};
        var previous = null;
        (Array.isArray(d.arenas) ? d.arenas : []).forEach(function (arena) {
            arena = obj(arena);
            var name = str(arena.name);
            if (seen[name])
                return;
            seen[name] = true;
            var c = cards[name] || (cards[name] = makeCard(name));
            renderCard(c, arena);
            // In the server's order, moving only a card that is out of place.
            var wanted = previous ? previous.nextSibling : main.firstChild;
            if (wanted !== c.root)
                main.insertBefore(c.root, wanted);
            previous = c.root;
        });
        Object.keys(cards).forEach(function (name) {
            if (!seen[name]) {
                main.removeChild(cards[name].root);
                delete cards[name];
            }
        });
    }

    function setOffline(offline) {
        byId('offline').hidden = !offline;
        document.body.classList.toggle('stale', offline);
    }

    // A request that neither answers nor fails in time counts as failed.
    function get(path) {
        var controller = new AbortController();
        var timer = setTimeout(function () { controller.abort(); }, TIMEOUT_MS);
        return fetch(path, { cache: 'no-store', signal: controller.signal })
            .then(function (response) {
                if (!response.ok)
                    throw new Error(String(response.status));
                return response.json();
            })
            .then(function (data) {
                clearTimeout(timer);
                return data;
            }, function (error) {
                clearTimeout(timer);
                throw error;
            });
    }

    function loadTexts() {
        get('/api/texts.json').then(function (t) {
            L.takeTexts(texts, obj(t));
            applyTexts();
        }, function () {});
    }

    // One request at a time, one a second; while the server is away the last picture stays.
    function poll() {
        var started = Date.now();
        if (polls++ % TEXTS_EVERY === 0)
            loadTexts();
        function next() { setTimeout(poll, Math.max(0, POLL_MS - (Date.now() - started))); }
        get('/api/show.json').then(function (data) {
            if (!byId('offline').hidden)
                loadTexts();
            setOffline(false);
            render(data);
        }, function () {
            setOffline(true);
        }).then(next, next);
    }

    applyTexts();
    poll();
})();
