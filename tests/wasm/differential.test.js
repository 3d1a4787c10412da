// The module and the tools side by side on random and mutated inputs: demo
// images with random damage (bytes, a copier header, a cut end), edited CSV
// files with random cells (numbers in and out of range, words, empty cells,
// NUL bytes, code page 932) and the same cells set on a session, patches
// made by the importer and then damaged, and merges of them. The run fails on the first input where the outputs,
// the refusals or the statuses differ, naming it; it ends with the figures.
//
//   MERIDIAN_CORE=build-wasm/meridian-core.js MT_TOOLS=build MT_DIFF_INPUTS=2000 node --test tests/wasm/differential.test.js
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const { MODULE, GAMES, work, writeDemoImages, run, attempt, assertSameError, TOOLS } = require('./support.js');
const INPUTS = Number(process.env.MT_DIFF_INPUTS || 24);
const SEED = Number(process.env.MT_DIFF_SEED || 20261211);

let seed = SEED;
const random = (n) => ((seed = (seed * 1103515245 + 12345) >>> 0) >>> 8) % n;
const pick = (list) => list[random(list.length)];

// A copy of bytes with a few of them changed, sometimes with a copier header
// added or taken off, sometimes cut short.
function damaged(bytes) {
  let out = Uint8Array.from(bytes);
  for (let i = random(8); i >= 0; --i) out[random(out.length)] = random(256);
  const shape = random(6);
  if (shape === 0 && out.length % 1024 === 512) out = out.subarray(512);
  if (shape === 1 && out.length % 1024 === 0) out = Uint8Array.from([...new Uint8Array(512), ...out]);
  if (shape === 2) out = out.subarray(0, out.length - random(out.length));
  return out;
}

const CELLS = ['0', '1', '255', '256', '65535', '65536', '-1', '1.5', '1,000', ' 7 ', 'true', 'FALSE', '', 'many',
  'a\u0000b', '"', '12e1'];

// A monsters' CSV file of one random column, its cells in a few records a
// choice of CELLS, or a name in code page 932 or in another encoding; with
// the same edits as the session takes them (null where they are no text).
function editedCsv(csv) {
  const lines = csv.replace(/^\uFEFF/, '').split('\r\n');
  const header = lines[0].split(',');
  const key = header[1 + random(header.length - 1)];
  const rows = ['index,' + key];
  const edits = [];
  for (let n = 1 + random(3), index = random(6); n > 0; --n, ++index) {
    const cell = pick(CELLS);
    edits.push([index, key, cell]);
    rows.push(`${index},${/[",\u0000]/.test(cell) ? `"${cell.replace(/"/g, '""')}"` : cell}`);
  }
  const text = Buffer.from(rows.join('\r\n') + '\r\n', 'utf8');
  if (random(5) !== 0) return { bytes: text, edits };
  // A name in code page 932 (or bytes that fit no encoding).
  const name = pick([[0x83, 0x41], [0x82, 0x20], [0xff]]);
  const bytes = Buffer.concat([Buffer.from('index,name\r\n1,'), Buffer.from(name), Buffer.from('\r\n')]);
  return { bytes, edits: name.length === 2 && name[0] === 0x83 ? [[1, 'name', new TextDecoder('shift_jis').decode(Buffer.from(name))]] : null };
}

let core;
const demos = {};
test.before(async () => {
  core = await require(MODULE)();
  const dir = writeDemoImages();
  for (const game of ['A', 'B']) {
    const prefix = GAMES[game].prefix;
    const out = path.join(work, 'export-' + prefix);
    fs.mkdirSync(out);
    execFileSync(path.join(TOOLS, 'tools', prefix + 'export'), ['-c', path.join(dir, prefix + 'demo.smc'), out]);
    demos[game] = { name: path.join('demo', prefix + 'demo.smc'), bytes: new Uint8Array(fs.readFileSync(path.join(dir, prefix + 'demo.smc'))),
      csv: fs.readFileSync(path.join(out, prefix + '-monsters.csv'), 'utf8'), rom: path.relative(work, path.join(out, prefix + '-rom.csv')) };
  }
});

function write(name, bytes) {
  fs.writeFileSync(path.join(work, name), bytes);
  return { name, bytes: new Uint8Array(bytes) };
}

// One module call beside one tool run: the same error, or the same status
// and the same bytes of each output.
function same(what, ran, made, outputs) {
  if (ran.status !== 0 && !(ran.status === 1 && made.value && made.value.status === 1)) {
    assertSameError(made, ran, what);
    assert.equal(made.error.status, ran.status, `${what}: status`);
    return;
  }
  assert.ok(!made.error, `${what}: the module refused (${made.error && made.error.message}), the tool did not`);
  for (const [key, file] of outputs) {
    assert.ok(Buffer.from(made.value[key]).equals(fs.readFileSync(path.join(work, file))), `${what}: ${key} differs`);
  }
}

function importCase(game, n) {
  const demo = demos[game];
  const csv = `mt-edit-${n}/${GAMES[game].prefix}-monsters.csv`;
  fs.mkdirSync(path.join(work, path.dirname(csv)), { recursive: true });
  const { bytes, edits } = editedCsv(demo.csv);
  const edited = write(csv, bytes);
  const files = { [csv]: edited.bytes, [demo.rom]: new Uint8Array(fs.readFileSync(path.join(work, demo.rom))) };
  ['n.smc', 'n.bps', 'n.ips'].forEach((f) => fs.rmSync(path.join(work, f), { force: true }));
  const ran = run(game, 'import', ['-o', 'n.smc', '-p', 'n.bps', '-i', 'n.ips', demo.name, csv, demo.rom]);
  same(`import ${csv}`, ran, attempt(() => core.importFiles(demo, files, {}, game)), [['image', 'n.smc'], ['bps', 'n.bps'], ['ips', 'n.ips']]);
  if (edits) sessionCase(game, csv, edits, ran);
  return ran.status === 0 ? write(`patch-${n}.bps`, fs.readFileSync(path.join(work, 'n.bps'))) : null;
}

// The importer's edits made on a session, one cell at a time or as one step
// (setAll): refused where the importer refuses (the step then writes
// nothing), else the importer's image and patches.
const sessions = { run: 0, written: 0, steps: 0 };
function sessionCase(game, csv, edits, ran) {
  ++sessions.run;
  const session = core.open(demos[game], { game });
  try {
    const step = sessions.run % 2 === 0;  // every other session
    sessions.steps += step;
    const refused = step ? session.setAll(edits.map(([index, key, value]) => ['monsters', index, key, value]))
      : edits.map(([index, key, value]) => session.set('monsters', index, key, value)).filter((r) => r);
    assert.equal(refused.length > 0, ran.status !== 0, `session ${csv}: ${JSON.stringify(refused)} against ${ran.error}`);
    if (step && refused.length) assert.deepEqual(session.changes(), [], `session ${csv}: a refused step wrote`);
    if (refused.length) return;
    ++sessions.written;
    const files = session.files({});
    for (const [key, file] of [['image', 'n.smc'], ['bps', 'n.bps'], ['ips', 'n.ips']]) {
      assert.ok(Buffer.from(files[key]).equals(fs.readFileSync(path.join(work, file))), `session ${csv}: ${key} differs`);
    }
  } finally {
    session.close();
  }
}

function compareCase(game, other) {
  const ran = run(game, 'compare', ['-j', demos[game].name, other.name]);
  const made = attempt(() => core.compare(demos[game], other, { json: true }, game));
  if (ran.status > 1) return same(`compare ${other.name}`, ran, made, []);
  assert.ok(!made.error, `compare ${other.name}: ${made.error && made.error.message}`);
  assert.equal(made.value.status, ran.status, `compare ${other.name}: status`);
  assert.ok(Buffer.from(made.value.text).equals(ran.stdout), `compare ${other.name}: output differs`);
}

function mergeCase(game, inputs) {
  ['m.smc', 'm.bps'].forEach((f) => fs.rmSync(path.join(work, f), { force: true }));
  const ran = run(game, 'merge', ['-j', '--prefer', '1', '-o', 'm.smc', '-p', 'm.bps', demos[game].name, ...inputs.map((i) => i.name)]);
  const made = attempt(() => core.merge(demos[game], inputs, { json: true, prefer: 1 }, game));
  same(`merge ${inputs.map((i) => i.name).join(' ')}`, ran, made, ran.status === 0 ? [['image', 'm.smc'], ['bps', 'm.bps']] : []);
  if (ran.status <= 1) assert.equal(made.value.text, ran.stdout.toString('utf8'), 'merge: report differs');
}

test(`${INPUTS} random inputs give the tools' answers`, () => {
  const start = process.hrtime.bigint();
  const patches = { A: [], B: [] };
  let calls = 0;
  for (let n = 0; n < INPUTS; ++n) {
    const game = n % 2 ? 'B' : 'A';
    const patch = importCase(game, n);
    if (patch) patches[game].push(patch);
    const image = write(`damaged-${n}.smc`, damaged(demos[game].bytes));
    const other = patches[game].length && random(2) ? write(`damaged-${n}.bps`, damaged(pick(patches[game]).bytes)) : image;
    compareCase(game, other);
    mergeCase(game, [image, ...(patches[game].length ? [pick(patches[game])] : [])]);
    calls += 4;
  }
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  console.log(`differential: ${INPUTS} inputs, ${calls} calls each way, ${(INPUTS / seconds).toFixed(1)} inputs per second, ${sessions.run} sessions (${sessions.written} written, ${sessions.steps} as one step) (seed ${SEED})`);
});
