// The WebAssembly module against the command-line tools: on both demo images
// and random images of both games, every call gives the bytes, texts,
// statuses and refusals that the tools give for the same inputs.
//
//   MERIDIAN_CORE=build-wasm/meridian-core.js MT_TOOLS=build node --test tests/wasm/
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');

const { MODULE, MIB, GAMES, work, writeDemoImages, run, attempt, assertSameError } = require('./support.js');
const RANDOM = Number(process.env.MT_WASM_RANDOM || 20);

// A random image of the game: random bytes, or the demo image with some bytes
// changed, with the game's cartridge header; a copier header on every third.
function randomImage(game, index, demo) {
  let seed = 7919 * (index + 1) + (game === 'A' ? 0 : 104729);
  const next = () => ((seed = (seed * 1103515245 + 12345) >>> 0) >>> 8) & 0xFF;
  const g = GAMES[game];
  const rom = index % 2 ? Uint8Array.from(demo.subarray(demo.length % 1024)) : new Uint8Array(g.sizes[index % 3]);
  if (index % 2) {
    for (let i = 0; i < 256; ++i) rom[((next() << 16) | (next() << 8) | next()) % rom.length] = next();
  } else {
    for (let i = 0; i < rom.length; ++i) rom[i] = next();
  }
  rom.set(Buffer.from(g.title + String.fromCharCode(g.mapMode), 'latin1'), g.header);
  const copier = index % 3 === 0 ? 512 : 0;
  const image = new Uint8Array(copier + rom.length);
  image.set(rom, copier);
  return image;
}

// The CSV text with the cell of the column in the first record set to value.
function setCell(csv, column, value) {
  const lines = csv.split('\n');
  const at = lines[0].replace(/^\uFEFF/, '').split(',').indexOf(column);
  const cells = lines[1].match(/("([^"]|"")*"|[^,]*)(,|$)/g);
  cells[at] = value + (at + 1 < cells.length ? ',' : '');
  lines[1] = cells.join('');
  return lines.join('\n');
}

let core;
const images = { A: [], B: [] };  // [{ name, bytes }] per game, the demo image first

test.before(async () => {
  core = await require(MODULE)();
  writeDemoImages();
  for (const game of ['A', 'B']) {
    const name = path.join('demo', GAMES[game].prefix + 'demo.smc');
    const demo = new Uint8Array(fs.readFileSync(path.join(work, name)));
    images[game].push({ name, bytes: demo });
    for (let i = 0; i < RANDOM; ++i) {
      const random = { name: `random-${game}-${i}.smc`, bytes: randomImage(game, i, demo) };
      fs.writeFileSync(path.join(work, random.name), random.bytes);
      images[game].push(random);
    }
  }
});

function exportDir(game, image) {
  const dir = path.join(work, 'export-' + path.basename(image.name));
  fs.mkdirSync(dir, { recursive: true });
  return { dir, ran: run(game, 'export', [image.name, dir]) };
}

for (const game of ['A', 'B']) {
  test(`game ${game}: identify and exportFiles give the exporter's files`, () => {
    for (const image of images[game]) {
      const { dir, ran } = exportDir(game, image);
      const made = attempt(() => core.exportFiles(image, game));
      if (ran.status !== 0) {
        assertSameError(made, ran, image.name);
        // Any bytes are identified, an image too short for its tables too.
        assert.equal(core.identify(image, game).file_size, image.bytes.length);
        continue;
      }
      assert.ok(!made.error, `${image.name}: ${made.error && made.error.message}`);
      const written = fs.readdirSync(dir).filter((f) => !f.endsWith('.html')).sort();
      assert.deepEqual(Object.keys(made.value).sort(), written, image.name);
      for (const file of written) {
        assert.ok(Buffer.from(made.value[file], 'utf8').equals(fs.readFileSync(path.join(dir, file))),
          `${image.name}: ${file} differs`);
      }
      const json = JSON.parse(fs.readFileSync(path.join(dir, GAMES[game].prefix + '.json'), 'utf8'));
      assert.deepEqual(core.identify(image, game), json.rom, image.name);
      assert.deepEqual(core.identify(image), json.rom, `${image.name}, the game found by its title`);
    }
  });

  test(`game ${game}: compare gives the comparison's output and status`, () => {
    const demo = images[game][0];
    for (const image of images[game].slice(1)) {
      for (const json of [false, true]) {
        const ran = run(game, 'compare', [...(json ? ['-j'] : []), demo.name, image.name]);
        const made = attempt(() => core.compare(demo, image, { json }, game));
        if (ran.status > 1) {
          assertSameError(made, ran, image.name);
          assert.equal(made.error.status, ran.status);
          continue;
        }
        assert.ok(!made.error, `${image.name}: ${made.error && made.error.message}`);
        assert.equal(made.value.status, ran.status, image.name);
        assert.ok(Buffer.from(made.value.text, 'utf8').equals(ran.stdout), `${image.name}: the output differs`);
      }
    }
  });

  test(`game ${game}: importFiles gives the importer's image, patches and changes`, () => {
    const prefix = GAMES[game].prefix;
    for (const image of images[game].filter((_, i) => i % 4 === 0)) {
      const { dir, ran: exported } = exportDir(game, image);
      if (exported.status !== 0) continue;
      for (const [what, edit] of [
        ['a new HP', (csv) => setCell(csv, 'hp', '123')],
        ['an out-of-range HP', (csv) => setCell(csv, 'hp', '999999')],
        ['an unknown column', (csv) => csv.replace(/,hp,/, ',hq,')],
        ['no change', (csv) => csv],
      ]) {
        const monsters = path.join(dir, prefix + '-monsters.csv');
        const edited = path.join(dir, prefix + '-monsters-edited.csv');
        fs.writeFileSync(edited, edit(fs.readFileSync(monsters, 'utf8')));
        const outputs = ['new.smc', 'new.bps', 'new.ips'].map((f) => path.join(work, f));
        outputs.forEach((f) => fs.rmSync(f, { force: true }));
        const rom = path.join(dir, prefix + '-rom.csv');
        const ran = run(game, 'import', ['-o', outputs[0], '-p', outputs[1], '-i', outputs[2], image.name,
          path.relative(work, edited), path.relative(work, rom)]);
        const files = { [path.relative(work, edited)]: fs.readFileSync(edited, 'utf8'),
          [path.relative(work, rom)]: new Uint8Array(fs.readFileSync(rom)) };
        const made = attempt(() => core.importFiles(image, files, {}, game));
        const label = `${image.name}, ${what}`;
        if (ran.status !== 0) {
          assertSameError(made, ran, label);
          continue;
        }
        assert.ok(!made.error, `${label}: ${made.error && made.error.message}`);
        for (const [i, key] of ['image', 'bps', 'ips'].entries()) {
          assert.ok(Buffer.from(made.value[key]).equals(fs.readFileSync(outputs[i])), `${label}: ${key} differs`);
        }
        const printed = ran.stdout.toString('utf8');
        assert.equal(made.value.changes, printed.slice(0, printed.indexOf(outputs[0] + ':')), label);
      }
    }
  });
}

test('refusals: a file that is no image, a patch for another image, options', () => {
  const junk = { name: 'junk.bin', bytes: new Uint8Array(70000).fill(0x41) };
  fs.writeFileSync(path.join(work, junk.name), junk.bytes);
  for (const game of ['A', 'B']) {
    assertSameError(attempt(() => core.exportFiles(junk, game)), run(game, 'export', [junk.name, 'junk-out']), game);
  }
  const neither = attempt(() => core.identify(junk));
  assert.match(neither.error.message, /^junk\.bin is not an image of MERIDIAN TALES2 or MERIDIAN TALES3: /);
  // The game-A demo's revision patch held against another game-A image.
  const patch = { name: 'demo/mt2demo-v2.bps', bytes: new Uint8Array(fs.readFileSync(path.join(work, 'demo/mt2demo-v2.bps'))) };
  const other = images.A[1];
  const ran = run('A', 'compare', [other.name, patch.name]);
  assert.equal(ran.status, 2);
  assertSameError(attempt(() => core.compare(other, patch, {}, 'A')), ran, 'a patch for another image');
  assert.deepEqual(core.compare(images.A[0], patch).status, 1);
  assert.throws(() => core.exportFiles(images.A[0], 'C'), TypeError);
});

test('the module keeps working after errors, and its memory stays flat', () => {
  const image = images.B[0];
  const junk = new Uint8Array(4 * MIB);
  const rom = core.identify(image);
  let memory = 0;
  for (let i = 0; i < 1000; ++i) {
    assert.throws(() => core.exportFiles(junk, 'B'), /is not an image of MERIDIAN TALES3/);
    if (i % 10 === 0) assert.deepEqual(core.identify(image), rom);
    if (i === 20) memory = core.HEAPU8.length;
  }
  assert.equal(core.HEAPU8.length, memory, 'the module\'s memory grew');
});

for (const game of ['A', 'B']) {
  test(`game ${game}: a session's cells, records, changes and files are the tools'`, () => {
    const image = images[game][0];
    const prefix = GAMES[game].prefix;
    const { dir } = exportDir(game, image);
    const exported = JSON.parse(fs.readFileSync(path.join(dir, prefix + '.json'), 'utf8'));
    const session = core.open(image, { game });
    assert.equal(session.game, game);
    assert.deepEqual(session.rom, exported.rom);
    const names = session.schema.tables.map((t) => t.name);
    assert.deepEqual(names.filter((n) => !n.includes('.')), Object.keys(exported.tables));
    assert.deepEqual(session.records('monsters'), exported.tables.monsters);

    const hp = session.schema.tables.find((t) => t.name === 'monsters').columns.find((c) => c.key === 'hp');
    assert.equal(session.set('monsters', 0, 'hp', 123), null);
    assert.deepEqual(session.set('monsters', 0, 'hp', 999999),
      { table: 'monsters', index: '0', key: 'hp', value: 999999, message: `${hp.heading} 999999: allowed ${hp.min}..${hp.max}` });
    for (const [table, index, key] of [['none', 0, 'hp'], ['monsters', 1e9, 'hp'], ['monsters', 0, 'none'], [null, {}, []]]) {
      assert.equal(typeof session.set(table, index, key, 1).message, 'string');
    }

    const monsters = path.join(dir, prefix + '-monsters.csv');
    const edited = path.join(dir, prefix + '-monsters-edited.csv');
    fs.writeFileSync(edited, setCell(fs.readFileSync(monsters, 'utf8'), 'hp', '123'));
    const outputs = ['new.smc', 'new.bps', 'new.ips'].map((f) => path.join(work, f));
    const ran = run(game, 'import', ['-o', outputs[0], '-p', outputs[1], '-i', outputs[2], image.name,
      path.relative(work, edited), path.relative(work, path.join(dir, prefix + '-rom.csv'))]);
    assert.equal(ran.status, 0, ran.error);
    const files = session.files();
    for (const [i, key] of ['image', 'bps', 'ips'].entries()) {
      assert.ok(Buffer.from(files[key]).equals(fs.readFileSync(outputs[i])), `${key} differs`);
    }
    const compared = JSON.parse(run(game, 'compare', ['-j', image.name, outputs[0]]).stdout.toString('utf8'));
    assert.deepEqual(session.changes(), compared.changes);
    // Cells set as one step: one refused, none written; else all.
    const refused = session.setAll([['monsters', 1, 'hp', 7], ['monsters', 2, 'hp', 999999], ['monsters', '4', 'hp', '8']]);
    assert.deepEqual(refused.map((r) => [r.index, r.value, r.message]),
      [['2', 999999, `${hp.heading} 999999: allowed ${hp.min}..${hp.max}`]]);
    assert.deepEqual(session.changes(), compared.changes);
    assert.deepEqual(session.setAll([['monsters', 1, 'hp', 7], ['monsters', 4, 'hp', 8]]), []);
    assert.deepEqual([1, 4].map((i) => session.record('monsters', i).hp), [7, 8]);
    session.close();
    assert.throws(() => session.changes(), /closed/);
  });
}

test('a session opens images only, and sessions leave the memory flat', () => {
  const junk = { name: 'junk.bin', bytes: new Uint8Array(70000).fill(0x41) };
  assert.throws(() => core.open(junk, { game: 'B' }), (e) => e instanceof Error && /^junk\.bin is not an image of/.test(e.message));
  const image = images.B[0];
  let memory = 0;
  for (let i = 0; i < 60; ++i) {
    const session = core.open(image);
    assert.equal(session.set('monsters', 1, 'hp', i + 1), null);
    assert.equal(session.changes().length, 1);
    session.close();
    if (i === 10) memory = core.HEAPU8.length;
  }
  assert.equal(core.HEAPU8.length, memory, 'the module\'s memory grew');
});

test('merge gives the merge tool\'s report, status, image and patches', () => {
  for (const game of ['A', 'B']) {
    const image = images[game][0];
    const prefix = GAMES[game].prefix;
    const { dir } = exportDir(game, image);
    const friends = [['alice', '150', '300'], ['bob', '150', '400']].map(([who, hp0, hp2]) => {
      fs.mkdirSync(path.join(work, who + game), { recursive: true });
      fs.copyFileSync(path.join(dir, prefix + '-rom.csv'), path.join(work, who + game, prefix + '-rom.csv'));
      const csv = path.join(who + game, prefix + '-monsters.csv');
      fs.writeFileSync(path.join(work, csv), `index,hp\r\n0,${hp0}\r\n2,${hp2}\r\n`);
      const patch = `${who}${game}.bps`;
      assert.equal(run(game, 'import', ['-p', patch, image.name, csv]).status, 0);
      return { name: patch, bytes: new Uint8Array(fs.readFileSync(path.join(work, patch))) };
    });
    fs.writeFileSync(path.join(work, 'resolve.csv'), 'table,index,key,value\r\nmonsters,2,hp,350\r\n');
    const resolve = { name: 'resolve.csv', bytes: new Uint8Array(fs.readFileSync(path.join(work, 'resolve.csv'))) };
    for (const [args, options] of [
      [[], {}], [['-j'], { json: true }], [['--prefer', '2'], { prefer: 2 }],
      [['--resolve', 'resolve.csv'], { resolve }], [['--prefer', '3'], { prefer: 3 }],
    ]) {
      const outputs = ['m.smc', 'm.bps', 'm.ips'];
      outputs.forEach((f) => fs.rmSync(path.join(work, f), { force: true }));
      const ran = run(game, 'merge', [...args, '-o', outputs[0], '-p', outputs[1], '-i', outputs[2], image.name,
        ...friends.map((f) => f.name)]);
      const made = attempt(() => core.merge(image, friends, options, game));
      const label = `${game} ${args.join(' ')}`;
      if (ran.status === 2) {
        assertSameError(made, ran, label);
        continue;
      }
      assert.ok(!made.error, `${label}: ${made.error && made.error.message}`);
      assert.equal(made.value.status, ran.status, label);
      const printed = ran.stdout.toString('utf8');
      assert.equal(made.value.text, ran.status === 0 && !options.json ? printed.slice(0, printed.indexOf('m.smc:')) : printed, label);
      if (ran.status !== 0) continue;
      for (const [i, key] of ['image', 'bps', 'ips'].entries()) {
        assert.ok(Buffer.from(made.value[key]).equals(fs.readFileSync(path.join(work, outputs[i]))), `${label}: ${key}`);
      }
    }
  }
});

test('the module answers as the tools: code page 932, the game by its header, size limits, NUL bytes', () => {
  const image = images.A[0];
  const { dir } = exportDir('A', image);
  const rom = path.relative(work, path.join(dir, 'mt2-rom.csv'));
  const cases = [
    ['a CSV file in code page 932', Buffer.from([...Buffer.from('index,name\r\n0,'), 0x83, 0x41, 0x83, 0x43, 13, 10])],
    ['one in neither encoding', Buffer.from([...Buffer.from('index,name\r\n0,'), 0x82, 0x20, 0x78, 13, 10])],
    ['a NUL in a cell', Buffer.from('index,hp\r\n0,1\u00002\r\n1,99999\r\n')],
  ];
  for (const [what, bytes] of cases) {
    const csv = path.join(dir, 'mt2-monsters-case.csv');
    fs.writeFileSync(csv, bytes);
    const ran = run('A', 'import', ['-o', 'case.smc', image.name, path.relative(work, csv), rom]);
    const made = attempt(() => core.importFiles(image, { [path.relative(work, csv)]: bytes,
      [rom]: new Uint8Array(fs.readFileSync(path.join(work, rom))) }, {}, 'A'));
    if (ran.status !== 0) {
      assertSameError(made, ran, what);
    } else {
      assert.ok(!made.error, `${what}: ${made.error && made.error.message}`);
      assert.ok(Buffer.from(made.value.image).equals(fs.readFileSync(path.join(work, 'case.smc'))), what);
    }
  }
  // A game-B image that holds game A's title elsewhere is game B's.
  const b = Uint8Array.from(images.B[0].bytes);
  b.set(Buffer.from(GAMES.A.title + '\x20', 'latin1'), 0x300000);
  assert.deepEqual(core.identify(b), core.identify(b, 'B'));
  assert.equal(core.open(b).game, 'B');
  // An image over 16 MiB: its BPS patch, and the IPS patch refused as the tool refuses it.
  const large = Uint8Array.from([...images.B[0].bytes, ...new Uint8Array(13 * MIB)]);
  fs.writeFileSync(path.join(work, 'large.smc'), large);
  const { dir: largeDir } = exportDir('B', { name: 'large.smc' });
  const hp = path.relative(work, path.join(largeDir, 'mt3-monsters-hp.csv'));
  fs.writeFileSync(path.join(work, hp), 'index,hp\r\n0,123\r\n');
  const largeRom = path.relative(work, path.join(largeDir, 'mt3-rom.csv'));
  const inputs = { [hp]: fs.readFileSync(path.join(work, hp)), [largeRom]: fs.readFileSync(path.join(work, largeRom)) };
  assert.equal(run('B', 'import', ['-p', 'large.bps', 'large.smc', hp, largeRom]).status, 0);
  const bps = core.importFiles({ name: 'large.smc', bytes: large }, inputs, { outputs: ['bps'] }, 'B');
  assert.ok(Buffer.from(bps.bps).equals(fs.readFileSync(path.join(work, 'large.bps'))) && bps.ips === null);
  assertSameError(attempt(() => core.importFiles({ name: 'large.smc', bytes: large }, inputs, { outputs: ['ips'] }, 'B')),
    run('B', 'import', ['-i', 'large.ips', 'large.smc', hp, largeRom]), 'an IPS patch of 17 MiB');
  // An image that ends with its title has no complete cartridge header: one
  // wording and one status everywhere.
  const cut = { name: 'cut.smc', bytes: image.bytes.subarray(0, 512 + 0x7FC0 + GAMES.A.title.length) };
  fs.writeFileSync(path.join(work, cut.name), cut.bytes);
  for (const [family, args, call] of [['export', [cut.name, 'cut-out'], () => core.exportFiles(cut, 'A')],
    ['compare', [image.name, cut.name], () => core.compare(image, cut, {}, 'A')],
    ['analyzer', [cut.name, 'cut-out'], () => core.open(cut, { game: 'A' })]]) {
    const ran = run('A', family, args);
    const made = attempt(call);
    assert.equal(ran.error, 'Fatal error in fread(): Unexpected end of file', family);
    assertSameError(made, ran, `${family}: an image that ends with its title`);
    if (family !== 'analyzer') assert.equal(made.error.status, ran.status, family);
  }
  // An image past the tools' limit is refused in their words.
  const big = path.join(work, 'big.smc');
  fs.writeFileSync(big, new Uint8Array(65 * MIB));
  const ran = run('A', 'compare', [image.name, 'big.smc']);
  const made = attempt(() => core.compare(image, { name: 'big.smc', bytes: new Uint8Array(fs.readFileSync(big)) }, {}, 'A'));
  assertSameError(made, ran, 'a 65 MiB image');
  assert.equal(made.error.status, ran.status);
  fs.rmSync(big);
});
