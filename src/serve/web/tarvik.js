// The live meter: the page (/) and the overlay (/overlay). Every name comes
// from a game log and is untrusted: text goes into the page only through
// textContent, never as markup.
"use strict";

(function () {
  // Everyone else fights for your side: you, the party, allies, pets.
  const NOT_YOUR_SIDE = new Set(["none", "enemy", "unknown"]);
  const SIDE_CLASSES = { you: "side-you", party: "side-party", ally: "side-ally", pet: "side-pet" };

  function isObject(value) {
    return value !== null && typeof value === "object" && !Array.isArray(value);
  }
  function onYourSide(character) {
    return isObject(character) && typeof character.side === "string" &&
      !NOT_YOUR_SIDE.has(character.side);
  }
  // A fixed class per side, so a side's name never becomes a class of its own.
  function sideClass(side) {
    return Object.prototype.hasOwnProperty.call(SIDE_CLASSES, side) ? SIDE_CLASSES[side] : "side-other";
  }
  function num(value) {
    const n = Number(value);
    return Number.isFinite(n) ? n : 0;
  }
  function str(value) {
    return value === null || value === undefined ? "" : String(value);
  }
  const wholeFormat = new Intl.NumberFormat("en-US", { maximumFractionDigits: 0 });
  const decimalFormat = new Intl.NumberFormat("en-US", {
    minimumFractionDigits: 1, maximumFractionDigits: 1,
  });
  function whole(value) {
    return wholeFormat.format(Math.round(num(value)));
  }
  function oneDecimal(value) {
    return decimalFormat.format(num(value));
  }
  // "45 s", "1:05", "1:02:03", as the window shows durations.
  function duration(seconds) {
    const s = Math.max(0, Math.round(num(seconds)));
    if (s < 60) return s + " s";
    const two = (n) => String(n).padStart(2, "0");
    const h = Math.floor(s / 3600);
    const m = Math.floor((s % 3600) / 60);
    return h > 0 ? h + ":" + two(m) + ":" + two(s % 60) : m + ":" + two(s % 60);
  }
  // "07/03/2026 08:14:25 PM" -> "08:14:25 PM".
  function timeOf(date) {
    const parts = str(date).split(" ");
    return parts.length > 1 ? parts.slice(1).join(" ") : str(date);
  }
  function el(tag, className, content) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (content !== undefined) node.textContent = str(content);
    return node;
  }
  function byId(id) {
    return document.getElementById(id);
  }
  function parse(data) {
    try {
      const value = JSON.parse(data);
      return isObject(value) ? value : null;
    } catch (error) {
      return null;
    }
  }

  // "update" lines name their fight "fight", "fight" lines "number".
  function fightNumber(line) {
    return num(line.type === "update" ? line.fight : line.number);
  }
  function characters(fight) {
    return Array.isArray(fight.characters) ? fight.characters.filter(isObject) : [];
  }
  // The fight's main enemy: named by "update" lines, else the fight's name
  // without its "(+N)".
  function mainEnemy(fight) {
    if (typeof fight.opponent === "string") return fight.opponent;
    if (fight.opponent === null) return "";
    const name = str(fight.name).replace(/ \(\+\d+\)$/, "");
    return name === "?" ? "" : name;
  }

  const MODES = {
    dps: { title: "DPS", amount: (c) => num(c.damage_dealt), rate: true },
    taken: { title: "Damage taken", amount: (c) => num(c.damage_taken), rate: false },
    healing: { title: "Healing received", amount: (c) => num(c.healing_received), rate: false },
  };

  function meterRows(fight, mode) {
    const rows = characters(fight).filter(onYourSide).map((c) => ({
      name: str(c.name), side: str(c.side), amount: mode.amount(c), dps: num(c.dps),
    }));
    rows.sort((a, b) => b.amount - a.amount || a.name.localeCompare(b.name));
    const total = rows.reduce((sum, row) => sum + row.amount, 0);
    return { rows, total };
  }

  // One bar per character of your side, the largest full width.
  function renderMeter(container, fight, mode, maxRows) {
    const { rows, total } = fight ? meterRows(fight, mode) : { rows: [], total: 0 };
    const top = rows.length > 0 ? rows[0].amount : 0;
    const nodes = rows.slice(0, maxRows).map((row, index) => {
      const line = el("div", "row " + sideClass(row.side) + (mode.rate ? " with-rate" : ""));
      const bar = el("div", "bar");
      bar.style.width = (top > 0 ? (row.amount / top) * 100 : 0).toFixed(1) + "%";
      line.append(bar, el("span", "rank", index + 1), el("span", "name", row.name),
        el("span", "amount", whole(row.amount)));
      if (mode.rate) line.append(el("span", "rate", oneDecimal(row.dps)));
      line.append(el("span", "share", total > 0 ? Math.round((row.amount * 100) / total) + "%" : "–"));
      line.title = row.name;
      return line;
    });
    if (rows.length > maxRows) nodes.push(el("div", "more", "+" + (rows.length - maxRows) + " more"));
    if (fight && rows.length === 0) nodes.push(el("div", "empty", "Nothing for your side yet"));
    container.replaceChildren(...nodes);
    return { rows, total };
  }

  // Options of the overlay's address: ?rows=8&scale=1.5&mode=dps|taken|healing.
  function overlayOptions() {
    const query = new URLSearchParams(window.location.search);
    const rows = Math.round(num(query.get("rows")));
    const scale = num(query.get("scale"));
    const mode = query.get("mode");
    return {
      rows: rows >= 1 && rows <= 50 ? rows : 8,
      scale: scale >= 0.25 && scale <= 5 ? scale : 1,
      mode: Object.prototype.hasOwnProperty.call(MODES, mode) ? mode : "dps",
    };
  }

  function connect(handlers) {
    const source = new EventSource("/events");
    source.addEventListener("current", (event) => {
      const line = parse(event.data);
      if (line) handlers.current(line);
    });
    source.onmessage = (event) => {
      const line = parse(event.data);
      if (line && handlers.line) handlers.line(line);
    };
    source.onopen = () => handlers.status("live");
    source.onerror = () =>
      handlers.status(source.readyState === EventSource.CLOSED ? "closed" : "retrying");
    return source;
  }

  function startOverlay() {
    const options = overlayOptions();
    const mode = MODES[options.mode];
    document.documentElement.style.fontSize = (14 * options.scale).toFixed(2) + "px";
    document.body.classList.add("mode-" + options.mode);
    const title = byId("overlay-title");
    const total = byId("overlay-total");
    const meter = byId("overlay-meter");
    let current = null;

    function render() {
      if (!current) return;
      const shown = renderMeter(meter, current, mode, options.rows);
      const seconds = Math.max(1, num(current.duration_s));
      title.textContent = str(current.name) + " · " + duration(seconds) +
        (current.type === "fight" ? " · ended" : "");
      total.textContent = mode.rate
        ? oneDecimal(shown.total / seconds) + " DPS"
        : mode.title + " " + whole(shown.total);
    }
    connect({
      current(line) {
        current = line;
        render();
      },
      status(state) {
        document.body.classList.toggle("offline", state !== "live");
      },
    });
  }

  function startPage() {
    const MaxFightRows = 200;
    const state = {
      current: null,     // the line of the fight the server calls current
      pinned: null,      // a fight the player picked in the list
      fights: new Map(), // number -> "fight" line or the document's entry
      targets: [],
      death: null,       // the last death recap, with its fight's number
      ended: false,
    };
    const status = byId("status");
    const backLive = byId("back-live");

    function setStatus(kind) {
      const texts = {
        live: "Live", retrying: "Reconnecting…", closed: "Disconnected", ended: "Tarvik stopped",
      };
      if (kind === "live") state.ended = false;
      const shown = state.ended && kind !== "live" ? "ended" : kind;
      status.textContent = texts[shown] || "";
      status.className = "status " + shown;
    }

    function shownFight() {
      if (state.pinned !== null && state.fights.has(state.pinned)) return state.fights.get(state.pinned);
      return state.current;
    }

    function renderFight() {
      const fight = shownFight();
      backLive.hidden = state.pinned === null;
      const title = byId("fight-title");
      const meta = byId("fight-meta");
      const stats = byId("fight-stats");
      if (!fight) {
        title.textContent = "Waiting for a fight…";
        meta.textContent = "Tarvik shows the fight here as soon as the game writes it to the log.";
        stats.replaceChildren();
        renderMeter(byId("dealt-meter"), null, MODES.dps, 0);
        renderMeter(byId("taken-meter"), null, MODES.taken, 0);
        return;
      }
      const running = fight.type === "update";
      title.textContent = str(fight.name);
      meta.textContent = "Fight " + fightNumber(fight) + " · " + timeOf(fight.start) +
        (running ? " · running" : " – " + timeOf(fight.end));
      const seconds = Math.max(1, num(fight.duration_s));
      const dealt = renderMeter(byId("dealt-meter"), fight, MODES.dps, 50);
      const taken = renderMeter(byId("taken-meter"), fight, MODES.taken, 50);
      const figures = [
        ["Duration", duration(seconds)],
        ["Party DPS", oneDecimal(fight.party_dps)],
        ["Your DPS", oneDecimal(fight.your_dps)],
        ["Damage dealt", whole(dealt.total)],
        ["Damage taken", whole(taken.total)],
      ];
      const deaths = deathsOf(fight);
      if (deaths !== null) figures.push(["Deaths", whole(deaths)]);
      stats.replaceChildren(...figures.map(([label, value]) => {
        const box = el("div", "stat");
        box.append(el("span", "stat-value", value), el("span", "stat-label", label));
        return box;
      }));
    }

    // Deaths of your side: "update" lines have none, the document's entry
    // of the running fight has them (fetched again after every death).
    function deathsOf(fight) {
      if (fight.type !== "update") return num(fight.your_side_deaths);
      const entry = state.fights.get(fightNumber(fight));
      return entry && entry.your_side_deaths !== undefined ? num(entry.your_side_deaths) : null;
    }

    function renderTarget() {
      const box = byId("target");
      const fight = shownFight();
      const name = fight ? mainEnemy(fight) : "";
      let target = null;
      for (const row of state.targets) {
        if (isObject(row) && row.name === name) target = row;
      }
      if (!name) {
        box.replaceChildren(el("p", "empty", "No enemy yet."));
        return;
      }
      const nodes = [el("div", "target-name", name)];
      if (!target) {
        nodes.push(el("p", "empty", "No rolls against it read yet."));
        box.replaceChildren(...nodes);
        return;
      }
      const facts = el("dl", "facts");
      const add = (label, value) => facts.append(el("dt", "", label), el("dd", "", value));
      add("AC", str(target.ac) + rolls(target.ac_rolls));
      add("Attack bonus", (target.ab === null || target.ab === undefined ? "?" : str(target.ab)) +
        rolls(target.ab_rolls));
      const saves = isObject(target.saves) ? Object.entries(target.saves) : [];
      add("Saves", saves.length ? saves.map(([type, best]) => type + " " + str(best)).join(" · ") : "–");
      const immunities = isObject(target.immunities) ? Object.entries(target.immunities) : [];
      add("Immunities", immunities.length
        ? immunities.map(([type, cell]) => type + " " + str(isObject(cell) ? cell.percent : "?")).join(" · ")
        : "–");
      const reductions = isObject(target.reductions) ? target.reductions : {};
      add("Reductions", num(reductions.count) > 0
        ? whole(reductions.count) + " absorbs, largest " + whole(reductions.largest) + ", average " +
          oneDecimal(reductions.average)
        : "–");
      nodes.push(facts);
      box.replaceChildren(...nodes);
    }

    function rolls(count) {
      const n = num(count);
      return n > 0 ? " (" + whole(n) + (n === 1 ? " roll)" : " rolls)") : "";
    }

    function renderDeath() {
      const box = byId("death");
      const death = state.death && state.death.recap;
      if (!death) {
        box.replaceChildren(el("p", "empty", "Nobody on your side died."));
        return;
      }
      const head = el("p", "death-head");
      head.append(el("span", "death-name " + sideClass(str(death.side)), death.name),
        document.createTextNode(" killed by "), el("span", "death-killer", death.killer),
        el("span", "death-time", " · " + timeOf(death.time) + " · fight " + state.death.fight));
      const list = el("ol", "recap");
      for (const event of Array.isArray(death.events) ? death.events : []) {
        if (!isObject(event)) continue;
        const item = el("li", "recap-" + (["damage", "immunity", "absorb", "healing", "save"]
          .includes(event.kind) ? event.kind : "other"));
        const before = Math.round(num(event.seconds_before));
        item.append(el("span", "recap-when", (before > 0 ? "−" : "") + whole(before) + " s"),
          el("span", "recap-text", event.text));
        list.append(item);
      }
      box.replaceChildren(head, list);
    }

    function fightRow(fight, running) {
      const row = el("tr", running ? "running" : "");
      const number = fightNumber(fight);
      const side = characters(fight).filter(onYourSide);
      const taken = side.reduce((sum, c) => sum + num(c.damage_taken), 0);
      const cells = [
        el("td", "num", number),
        el("td", "fight-name", fight.name),
        el("td", "", timeOf(fight.start)),
        el("td", "num", duration(fight.duration_s)),
        el("td", "num", oneDecimal(fight.party_dps)),
        el("td", "num", oneDecimal(fight.your_dps)),
        el("td", "num", whole(taken)),
        el("td", "num", deathsOf(fight) === null ? "–" : whole(deathsOf(fight))),
      ];
      if (running) cells[1].append(el("span", "badge", "live"));
      row.append(...cells);
      if (state.pinned === number || (state.pinned === null && state.current &&
          fightNumber(state.current) === number)) row.classList.add("shown");
      row.addEventListener("click", () => {
        state.pinned = running ? null : number;
        render();
      });
      return row;
    }

    function renderFights() {
      const body = byId("fights");
      const rows = [];
      const current = state.current;
      const running = current && current.type === "update" ? current : null;
      if (running && !state.fights.has(fightNumber(running))) rows.push(fightRow(running, true));
      const numbers = [...state.fights.keys()].sort((a, b) => b - a);
      for (const number of numbers.slice(0, MaxFightRows)) {
        const isRunning = running !== null && fightNumber(running) === number;
        rows.push(fightRow(isRunning ? running : state.fights.get(number), isRunning));
      }
      if (rows.length === 0) {
        const row = el("tr");
        const cell = el("td", "empty", "No fights yet.");
        cell.colSpan = 8;
        row.append(cell);
        rows.push(row);
      }
      body.replaceChildren(...rows);
    }

    function render() {
      renderFight();
      renderTarget();
      renderDeath();
      renderFights();
    }

    function keepFight(fight) {
      const number = fightNumber(fight);
      if (number <= 0) return;
      state.fights.set(number, fight);
      if (state.fights.size > MaxFightRows * 2) {
        const oldest = [...state.fights.keys()].sort((a, b) => a - b);
        for (const gone of oldest.slice(0, state.fights.size - MaxFightRows)) state.fights.delete(gone);
      }
    }

    function noteDeath(fight, recap) {
      if (!isObject(recap)) return;
      if (state.death && state.death.fight > fight) return;
      state.death = { fight, recap };
    }

    // The whole document: every fight, the targets and the deaths so far.
    function applyDocument(doc) {
      if (!isObject(doc)) return;
      state.targets = Array.isArray(doc.targets) ? doc.targets : [];
      const fights = Array.isArray(doc.fights) ? doc.fights.filter(isObject) : [];
      for (const fight of fights.slice(-MaxFightRows)) {
        const entry = Object.assign({ type: "fight" }, fight);
        keepFight(entry);
        const deaths = Array.isArray(fight.deaths) ? fight.deaths : [];
        if (deaths.length > 0) noteDeath(fightNumber(entry), deaths[deaths.length - 1]);
      }
      render();
    }

    // The document is fetched again after a change, but not more often
    // than the gap asked for: a long session's document is large.
    const refresh = { wanted: false, gap: 5000, fetching: false, last: 0 };
    function wantRefresh(gapMs) {
      refresh.gap = refresh.wanted ? Math.min(refresh.gap, gapMs) : gapMs;
      refresh.wanted = true;
    }
    async function fetchState() {
      refresh.fetching = true;
      refresh.wanted = false;
      refresh.last = Date.now();
      try {
        const response = await fetch("/api/state", { cache: "no-store" });
        if (response.ok) applyDocument(await response.json());
      } catch (error) {
        // Offline for a moment: the next change asks again.
      } finally {
        refresh.fetching = false;
      }
    }
    window.setInterval(() => {
      if (refresh.wanted && !refresh.fetching && Date.now() - refresh.last >= refresh.gap) fetchState();
    }, 250);

    backLive.addEventListener("click", () => {
      state.pinned = null;
      render();
    });

    connect({
      current(line) {
        state.current = line;
        if (line.type === "fight") keepFight(line);
        wantRefresh(5000);
        render();
      },
      line(line) {
        if (line.type === "fight") {
          keepFight(line);
          wantRefresh(1000);
          renderFights();
        } else if (line.type === "death") {
          noteDeath(num(line.fight), line);
          wantRefresh(1000);
          renderDeath();
        } else if (line.type === "summary") {
          state.ended = true;
          applyDocument(line);
          setStatus("ended");
        }
      },
      status: setStatus,
    });
    render();
    fetchState();
  }

  if (document.body.dataset.view === "overlay") startOverlay();
  else startPage();
})();
