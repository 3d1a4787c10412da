// The tables of an export as the viewer page and the workbench show them:
// every table one at a time, from the JSON document and the exporter's column
// descriptions. Nothing here knows a table or a key by name: headers come
// from the descriptions (label, else key), references from their
// "references". A page gives hooks for what it adds (marks, editing).
"use strict";

const collator = new Intl.Collator("ja", { numeric: true });
const ROW_HEIGHT = 24;  // px, a record row (see viewer.css)
const OVERSCAN = 12;    // rows drawn beyond the view on each side

function element(tag, props, ...children) {
  const e = document.createElement(tag);
  Object.assign(e, props);
  for (const child of children) e.append(child);
  return e;
}

function text(value) {
  if (value === null || value === undefined) return "";
  if (Array.isArray(value)) return value.join(" ");
  return String(value);
}

function shownText(value) {
  return typeof value === "boolean" ? (value ? "✓" : "·") : text(value);
}

// A number in hexadecimal with the digits the description asks for.
function hexText(value, digits) {
  return `0x${value.toString(16).toUpperCase().padStart(digits, "0")}`;
}

// --- columns ----------------------------------------------------------------

// The columns of a table: the described ones in their order, each with its
// label; the name column of a reference knows its target and index column,
// and the index column knows its name column (they share one heading).
function columnsOf(description, records) {
  const list = (description && description.columns) ||
      Object.keys(records[0] || {}).filter((k) => !isNested(records[0][k])).map((key) => ({ key }));
  const byKey = new Map(list.map((c) => [c.key, c]));
  const columns = list.map((c) => {
    const index = c.key.endsWith("_name") ? byKey.get(c.key.slice(0, -5)) : null;
    return { key: c.key, label: c.label || c.key, title: c.title || null, linkTo: index ? index.references || null : null,
             indexKey: index ? index.key : null, nameKey: null, hex: c.hex || 0 };
  });
  for (const c of columns) {
    const index = c.indexKey && columns.find((o) => o.key === c.indexKey);
    if (index && index.label === c.label) index.nameKey = c.key;
  }
  return columns;
}

function isNested(value) {
  return Array.isArray(value) && typeof value[0] === "object" && value[0] !== null;
}

function childKeys(description, records) {
  if (description && description.children) return Object.keys(description.children);
  const first = records[0] || {};
  return Object.keys(first).filter((k) => isNested(first[k]));
}

// Cell widths in ch: wide (Japanese) characters count two, at most 28.
function widthOf(s) {
  let w = 0;
  for (const c of s) w += c.codePointAt(0) >= 0x2E80 ? 2 : 1;
  return Math.min(w, 28);
}

// Every column as wide as its widest cell or header, in a style sheet of the
// grid's own (class c<i> a column): the rows need no layout of one another.
// The open button, the index and the name stay in view when the table
// scrolls sideways.
let grids = 0;
function styleGrid(columns, records, toggle) {
  const name = `g${++grids}`;
  const width = (w) => `calc(${w}ch + 0.9rem)`;
  const widths = columns.map((c) => records.reduce(
    (w, r) => Math.max(w, widthOf(shownText(r[c.key]))), c.nameKey ? 0 : widthOf(c.label) + 2));
  columns.forEach((c, i) => {  // a shared heading is as wide as its two cells
    if (c.nameKey) {
      const n = columns.findIndex((o) => o.key === c.nameKey);
      widths[n] = Math.max(widths[n], widthOf(c.label) + 2 - widths[i]);
    }
  });
  const rules = widths.map((w, i) => `.${name}>*>tr>.c${i}{width:${width(w)}}`);
  let left = toggle ? ["2.6rem"] : [];
  if (toggle) rules.push(`.${name}>*>tr>.ct{width:2.6rem}`);
  columns.forEach((c, i) => {
    if (c.key !== "index" && c.key !== "name") return;
    rules.push(`.${name}>*>tr>.c${i}{position:sticky;left:calc(${left.join(" + ") || "0px"});z-index:1}`);
    left = left.concat(width(widths[i]));
  });
  if (toggle) rules.push(`.${name}>*>tr>.ct{position:sticky;left:0;z-index:1}`);
  columns.forEach((c, i) => {
    if (!c.nameKey) return;
    const n = columns.findIndex((o) => o.key === c.nameKey);
    rules.push(`.${name}>*>tr>th.c${i}{width:calc(${widths[i]}ch + ${widths[n]}ch + 1.8rem)}`);
  });
  document.head.append(element("style", {}, rules.join("\n")));
  return name;
}

// --- one table ----------------------------------------------------------------

// Numbers as numbers, texts in Japanese order, empty cells last.
function compareValues(a, b, sign) {
  if (a === null || a === undefined) return b === null || b === undefined ? 0 : 1;
  if (b === null || b === undefined) return -1;
  if (typeof a === "number" && typeof b === "number") return sign * (a - b);
  if (typeof a === "boolean" && typeof b === "boolean") return sign * (a - b);
  return sign * collator.compare(text(a), text(b));
}

// A table of records with sortable headers; a record with nested tables gets
// a button that opens them under its row. A top-level grid draws only the
// rows in view (rows of ROW_HEIGHT, nested blocks measured once drawn).
//   path: the table's name in the rows' data-table ("monsters",
//         "monsters.actions"); parent: the parent record's index (nested)
//   hooks: { decorate(td, path, index, key), open(td) } of the page
class Grid {
  constructor(records, description, path, hooks, parent) {
    this.records = records;
    this.description = description || {};
    this.path = path;
    this.hooks = hooks || {};
    this.parent = parent;
    this.virtual = parent === undefined;
    this.columns = columnsOf(description, records);
    this.children = childKeys(description, records);
    this.order = records.map((r, i) => i);  // positions shown, in order
    this.sortKey = null;
    this.descending = false;
    this.opened = new Map();  // position -> its nested row
    this.heights = new Map(); // position -> its nested row's height
    this.rows = new Map();    // position -> its row, once made
    const style = styleGrid(this.columns, records, this.children.length > 0);
    this.headers = new Map();
    const head = element("tr");
    if (this.children.length) head.append(element("th", { scope: "col", className: "ct" }));
    this.columns.forEach((c, i) => {
      if (this.columns.some((o) => o.nameKey === c.key)) return;  // under its index's heading
      head.append(this.header(c, i));
    });
    this.body = element("tbody");
    this.table = element("table", { className: `grid ${style}` }, element("thead", {}, head), this.body);
    this.table.grid = this;
    this.wrap = element("div", { className: "wrap" }, this.table);
    if (this.virtual) {
      let pending = false;
      this.wrap.addEventListener("scroll", () => {
        if (pending) return;
        pending = true;
        requestAnimationFrame(() => { pending = false; this.draw(); });
      });
    }
  }

  header(column, i) {
    const th = element("th", { scope: "col", title: column.title || (column.nameKey ? `${column.key} ${column.nameKey}` : column.key),
                               className: `c${i}` });
    th.dataset.key = column.key;
    const label = column.nameKey ? `${column.label} ${column.label}` : column.label;
    const button = element("button", { type: "button" }, label);
    button.addEventListener("click", () => this.sort(column.key));
    th.append(button);
    this.headers.set(column.key, th);
    return th;
  }

  // The index a record is known by: its "index", else its position.
  indexOf(position) {
    const record = this.records[position];
    return record && "index" in record ? record.index : position;
  }

  rowIndex(position) {
    return this.parent === undefined ? String(this.indexOf(position)) : `${this.parent}/${this.indexOf(position)}`;
  }

  positionOf(index) {
    const wanted = String(index);
    for (let i = 0; i < this.records.length; ++i) if (String(this.indexOf(i)) === wanted) return i;
    return -1;
  }

  cell(record, column, i, index) {
    const value = record[column.key];
    const td = element("td", { className: `c${i}` });
    td.dataset.key = column.key;
    if (typeof value === "number") td.classList.add("num");
    if (value === null) td.classList.add("none");
    if (column.linkTo && value !== null && record[column.indexKey] !== null) {
      td.append(element("a", { href: `#${column.linkTo}/${record[column.indexKey]}` }, text(value)));
    } else if (column.hex && typeof value === "number") {
      td.textContent = hexText(value, column.hex);
      td.title = String(value);
    } else {
      td.textContent = shownText(value);
    }
    if (this.hooks.decorate) this.hooks.decorate(td, this.path, index, column.key);
    return td;
  }

  row(position) {
    if (this.rows.has(position)) return this.rows.get(position);
    const record = this.records[position];
    const index = this.rowIndex(position);
    const tr = element("tr", { tabIndex: -1, className: "r" });
    tr.dataset.record = position;
    tr.dataset.table = this.path;
    tr.dataset.index = index;
    if (this.children.length) {
      const count = this.children.reduce((n, k) => n + (record[k] || []).length, 0);
      const button = element("button", { type: "button", className: "open", title: this.children.join(", ") },
                             `+${count}`);
      button.setAttribute("aria-expanded", String(this.opened.has(position)));
      button.addEventListener("click", () => this.toggle(position));
      tr.append(element("td", { className: "ct" }, button));
    }
    this.columns.forEach((c, i) => tr.append(this.cell(record, c, i, index)));
    this.rows.set(position, tr);
    return tr;
  }

  // Makes a record's row again (after an edit or a new mark).
  redraw(position) {
    if (!this.rows.has(position)) return;
    const old = this.rows.get(position);
    this.rows.delete(position);
    if (old.isConnected) old.replaceWith(this.row(position));  // else made when next drawn
  }

  nested(position) {
    const record = this.records[position];
    const td = element("td", { className: "nested" });
    for (const key of this.children) {
      const grid = new Grid(record[key] || [], (this.description.children || {})[key], `${this.path}.${key}`,
                            this.hooks, this.indexOf(position));
      grid.draw();
      td.append(element("h3", {}, `${key} (${grid.records.length})`), grid.wrap);
    }
    return element("tr", { className: "nested-row" }, td);
  }

  toggle(position, open) {
    const isOpen = this.opened.has(position);
    if (open === undefined) open = !isOpen;
    if (open === isOpen) return;
    if (open) this.opened.set(position, this.nested(position));
    else this.opened.delete(position);
    const tr = this.row(position);
    const button = tr.querySelector("button.open");
    if (button) button.setAttribute("aria-expanded", String(open));
    this.draw();
  }

  // Numbers as numbers, texts in Japanese order, empty cells last; the same
  // header again reverses the order.
  sort(key) {
    this.descending = this.sortKey === key && !this.descending;
    this.sortKey = key;
    for (const h of this.headers.values()) h.removeAttribute("aria-sort");
    const th = this.headers.get(key);
    if (th) th.setAttribute("aria-sort", this.descending ? "descending" : "ascending");
    this.arrange();
  }

  // Shows the positions the filter keeps (keep(position), null for all).
  narrow(keep) {
    this.keep = keep;
    this.arrange();
  }

  arrange() {
    const keep = this.keep;
    const order = this.records.map((r, i) => i);
    this.order = keep ? order.filter(keep) : order;
    if (this.sortKey !== null) {
      const key = this.sortKey, sign = this.descending ? -1 : 1;
      this.order.sort((a, b) => compareValues(this.records[a][key], this.records[b][key], sign) || a - b);
    }
    this.draw();
  }

  heightOf(position) {
    return ROW_HEIGHT + (this.opened.has(position) ? this.heights.get(position) || ROW_HEIGHT * 4 : 0);
  }

  // Draws the rows in view (a nested grid: every row), with the space of the
  // others above and below.
  draw() {
    let from = 0, to = this.order.length, top = 0, bottom = 0;
    if (this.virtual) {
      const view = this.wrap.clientHeight || window.innerHeight;
      const scroll = this.wrap.scrollTop;
      let y = 0, i = 0;
      for (; i < this.order.length; ++i) {
        const h = this.heightOf(this.order[i]);
        if (y + h > scroll) break;
        y += h;
      }
      from = Math.max(0, i - OVERSCAN);
      for (let j = i - 1; j >= from; --j) y -= this.heightOf(this.order[j]);
      top = y;
      let end = y;
      for (to = from; to < this.order.length && end < scroll + view + OVERSCAN * ROW_HEIGHT; ++to) {
        end += this.heightOf(this.order[to]);
      }
      for (let j = to; j < this.order.length; ++j) bottom += this.heightOf(this.order[j]);
    }
    const rows = [];
    for (let i = from; i < to; ++i) {
      const position = this.order[i];
      const tr = this.row(position);
      tr.classList.toggle("odd", i % 2 === 1);
      rows.push(tr);
      if (this.opened.has(position)) rows.push(this.opened.get(position));
    }
    this.body.style.paddingTop = `${top}px`;
    this.body.style.paddingBottom = `${bottom}px`;
    const now = this.body.children;
    if (now.length !== rows.length || rows.some((tr, i) => now[i] !== tr)) this.body.replaceChildren(...rows);
    if (this.virtual) this.measure();
  }

  // The nested rows' heights once drawn: a change moves the rows below.
  measure() {
    let changed = false;
    for (const [position, tr] of this.opened) {
      if (!tr.isConnected) continue;
      const h = tr.offsetHeight;
      if (h && h !== this.heights.get(position)) {
        this.heights.set(position, h);
        changed = true;
      }
    }
    if (changed) this.draw();
  }

  // Scrolls a position's row into the middle of the view.
  reveal(position) {
    const at = this.order.indexOf(position);
    if (at < 0) return null;
    let y = 0;
    for (let i = 0; i < at; ++i) y += this.heightOf(this.order[i]);
    this.wrap.scrollTop = Math.max(0, y - this.wrap.clientHeight / 2);
    this.draw();
    const tr = this.row(position);
    tr.scrollIntoView({ block: "center" });
    this.draw();
    return tr;
  }

  // The shown column of a key, top to bottom, as the cells would read.
  column(key) {
    const c = this.columns.find((o) => o.key === key);
    return this.order.map((p) => (c && c.hex && typeof this.records[p][key] === "number")
      ? hexText(this.records[p][key], c.hex) : shownText(this.records[p][key]));
  }

  // New records of the same table (the export of an edited image): the
  // order, the filter and the opened rows stay (drawn by the next arrange).
  replace(records) {
    this.records = records;
    this.rows.clear();
    for (const position of [...this.opened.keys()]) this.opened.set(position, this.nested(position));
  }
}

// A table of the export with its filter box and row count.
class View {
  constructor(key, records, description, hooks) {
    this.key = key;
    this.grid = new Grid(records, description, key, hooks);
    this.texts = null;
    this.count = element("span", { className: "count", role: "status" });
    this.filter = element("input", { type: "search", placeholder: "filter: name or any cell" });
    this.filter.setAttribute("aria-label", `filter ${key}`);
    this.filter.addEventListener("input", () => this.narrow());
    const bar = element("div", { className: "bar" }, this.filter, this.count);
    this.section = element("section", { id: `table-${key}` }, element("h2", {}, key), bar, this.grid.wrap);
  }

  // Each row's text, for the filter: every cell of the row.
  textsOf() {
    if (!this.texts) {
      this.texts = this.grid.records.map((r) => this.grid.columns.map((c) => text(r[c.key])).join("\n").toLowerCase());
    }
    return this.texts;
  }

  narrow() {
    const needle = this.filter.value.trim().toLowerCase();
    const texts = needle === "" ? null : this.textsOf();
    this.grid.narrow(texts ? (p) => texts[p].includes(needle) : null);
    this.count.textContent = `${this.grid.order.length} / ${this.grid.records.length} rows`;
  }

  replace(records) {
    this.texts = null;
    this.grid.replace(records);
    this.narrow();
  }

  // The row of a record by its index, shown even when the filter hid it,
  // its nested rows open.
  mark(index) {
    const position = this.grid.positionOf(index);
    if (position < 0) return null;
    if (!this.grid.order.includes(position)) {
      this.filter.value = "";
      this.narrow();
    }
    if (this.grid.children.length) this.grid.toggle(position, true);
    return this.grid.reveal(position);
  }
}

// Every table of a document, one at a time as the address's fragment names
// it ("#table" or "#table/index"), with the list of tables in nav.
class Tables {
  constructor(doc, described, container, list, hooks) {
    this.doc = doc;
    this.described = described;
    this.container = container;
    this.list = list;
    this.hooks = hooks || {};
    this.views = new Map();
    this.shown = null;
    this.marked = null;
    list.replaceChildren();
    for (const [key, records] of Object.entries(doc.tables)) {
      const a = element("a", { href: `#${key}` }, `${key} (${records.length})`);
      a.dataset.table = key;
      list.append(element("li", {}, a));
    }
    container.replaceChildren();
  }

  viewOf(key) {
    if (!this.views.has(key)) {
      const view = new View(key, this.doc.tables[key], this.described.tables[key], this.hooks);
      this.views.set(key, view);
      this.container.append(view.section);
      view.narrow();
      if (this.hooks.shown) this.hooks.shown(view);
    }
    return this.views.get(key);
  }

  route() {
    const keys = Object.keys(this.doc.tables);
    let fragment = location.hash.slice(1);
    try {
      fragment = decodeURIComponent(fragment);
    } catch {
      // a malformed escape: the fragment as it stands
    }
    const [key, index] = fragment.split("/");
    const table = keys.includes(key) ? key : keys[0];
    const view = this.viewOf(table);
    if (this.shown && this.shown !== view) this.shown.section.hidden = true;
    view.section.hidden = false;
    view.grid.draw();
    this.shown = view;
    for (const a of this.list.querySelectorAll("a")) {
      if (a.dataset.table === table) a.setAttribute("aria-current", "page");
      else a.removeAttribute("aria-current");
    }
    if (this.marked) this.marked.classList.remove("marked");
    this.marked = index !== undefined && index !== "" ? view.mark(index) : null;
    if (this.marked) {
      this.marked.classList.add("marked");
      this.marked.focus({ preventScroll: true });
    }
    return view;
  }

  // New records of every table, the views as they were.
  replace(doc) {
    this.doc = doc;
    for (const [key, view] of this.views) view.replace(doc.tables[key]);
    if (this.marked) {
      const view = this.shown;
      const tr = view.grid.rows.get(Number(this.marked.dataset.record));
      if (tr) {
        tr.classList.add("marked");
        this.marked = tr;
      }
    }
  }

  // Draws every made row again (new marks).
  redraw() {
    for (const view of this.views.values()) {
      view.grid.rows.clear();
      view.grid.draw();
    }
  }
}

// The image's identification: every field of the rom block under its label,
// the key on hover, a checksum in hexadecimal with its value beside it.
function romBlock(dl, rom, description) {
  const labels = new Map(description.columns.map((c) => [c.key, c.label || c.key]));
  const hex = new Map(description.columns.map((c) => [c.key, c.hex || 0]));
  const shown = (key, value) => {
    if (typeof value === "boolean") return value ? "yes" : "no";
    const digits = hex.get(key);
    if (!digits || typeof value !== "number") return text(value);
    return `${hexText(value, digits)} (${value})`;
  };
  dl.replaceChildren();
  for (const [key, value] of Object.entries(rom || {})) {
    if (value === null || typeof value === "object") continue;
    dl.append(element("div", { title: key }, element("dt", {}, labels.get(key) || key),
                      element("dd", {}, shown(key, value))));
  }
}
