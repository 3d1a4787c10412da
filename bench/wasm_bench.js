#!/usr/bin/env node
// The WebAssembly module's figures beside the native tools, in one run: the
// module's instantiation, exportFiles on the game-B demo image (4 MiB),
// importFiles with one edited CSV file, compare of two 4 MiB images and merge
// of two 4 MiB inputs, each the median of its runs, with the native tool's
// run for the same work.
//
//   node bench/wasm_bench.js build-wasm/meridian-core.js build [runs]
'use strict';
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const [moduleFile, tools, runsArg] = process.argv.slice(2);
if (!moduleFile || !tools) {
  console.error('usage: wasm_bench.js meridian-core.js tools-build-dir [runs]');
  process.exit(2);
}
const runs = Number(runsArg || 9);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'wasm-bench-'));
process.on('exit', () => fs.rmSync(work, { recursive: true, force: true }));
const tool = (family) => path.join(path.resolve(tools), 'tools', 'mt3' + family);

function median(times) {
  const sorted = [...times].sort((a, b) => a - b);
  return sorted[sorted.length >> 1];
}

async function timed(f) {
  const times = [];
  for (let i = 0; i < runs; ++i) {
    const start = process.hrtime.bigint();
    await f();
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  return median(times);
}

function native(args) {
  return () => {
    const made = spawnSync(args[0], args.slice(1), { cwd: work });
    if (made.status > 1) throw new Error(made.stderr.toString());
  };
}

(async () => {
  execFileSync(path.join(path.resolve(tools), 'tools', 'mt_demo_images'), [work]);
  const image = path.join(work, 'mt3demo.smc');
  const bytes = new Uint8Array(fs.readFileSync(image));
  const other = Uint8Array.from(bytes);
  for (let i = 0x10000; i < other.length; i += 4099) other[i] ^= 0x5A;
  fs.writeFileSync(path.join(work, 'other.smc'), other);
  const edited = Uint8Array.from(bytes);  // a second input: other bytes changed
  for (let i = 0x10800; i < edited.length; i += 8191) edited[i] ^= 0x33;
  fs.writeFileSync(path.join(work, 'edited.smc'), edited);
  fs.mkdirSync(path.join(work, 'out'));
  execFileSync(tool('export'), ['-c', image, path.join(work, 'out')]);
  const csvName = path.join(work, 'out', 'mt3-monsters.csv');
  const romName = path.join(work, 'out', 'mt3-rom.csv');
  const csv = fs.readFileSync(csvName, 'utf8').replace(/^(\uFEFF?[^\n]*\n0,[^,]*,)\d+/, '$1150');
  fs.writeFileSync(path.join(work, 'mt3-monsters-edited.csv'), csv);
  const files = { [path.join(work, 'mt3-monsters-edited.csv')]: csv, [romName]: fs.readFileSync(romName) };

  const factory = require(path.resolve(moduleFile));
  const startup = await timed(() => factory());
  const core = await factory();
  const rows = [
    ['instantiating the module', startup, null, null],
    ['exportFiles, 4 MiB game-B image', await timed(() => core.exportFiles(bytes, 'B')),
      'mt3export -j -c -s', await timed(native([tool('export'), '-j', '-c', '-s', image, path.join(work, 'out')]))],
    ['importFiles, one edited CSV file', await timed(() => core.importFiles(bytes, files, {}, 'B')),
      'mt3import -o -p -i', await timed(native([tool('import'), '-o', path.join(work, 'n.smc'), '-p',
        path.join(work, 'n.bps'), '-i', path.join(work, 'n.ips'), image, path.join(work, 'mt3-monsters-edited.csv'), romName]))],
    ['compare, two 4 MiB images', await timed(() => core.compare(bytes, other, {}, 'B')),
      'mt3compare', await timed(native([tool('compare'), image, path.join(work, 'other.smc')]))],
    ['merge, two 4 MiB inputs', await timed(() => core.merge(bytes, [other, edited], { prefer: 1 }, 'B')),
      'mt3merge --prefer 1', await timed(native([tool('merge'), '--prefer', '1', image, path.join(work, 'other.smc'),
        path.join(work, 'edited.smc')]))],
  ];
  // The session beside the file calls it replaces: open beside exportFiles,
  // one set (the median of 1,000) and files() after 100 edits beside
  // importFiles with one edit.
  const exportMs = rows[1][1], importMs = rows[2][1];
  const session = core.open(bytes, { game: 'B' });
  const openMs = await timed(() => core.open(bytes, { game: 'B' }).close());
  const sets = [];
  for (let i = 0; i < 1000; ++i) {
    const start = process.hrtime.bigint();
    session.set('monsters', i % 100, 'hp', 100 + (i % 7));
    sets.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  const filesMs = await timed(() => session.files());
  session.close();
  const sessionRows = [
    ['session open', openMs, 'exportFiles', exportMs, 1 / 2],
    ['session set, median of 1,000', median(sets), 'importFiles', importMs, 1 / 100],
    ['session files() after 100 edits', filesMs, 'importFiles', importMs, 1 / 3],
  ];
  console.log(`median of ${runs} runs, ms`);
  console.log('| work | module | native tool | native | ratio |');
  console.log('|---|---|---|---|---|');
  for (const [work, module, name, nativeMs] of rows) {
    const ratio = nativeMs ? (module / nativeMs).toFixed(2) : '';
    console.log(`| ${work} | ${module.toFixed(1)} | ${name || ''} | ${nativeMs ? nativeMs.toFixed(1) : ''} | ${ratio} |`);
  }
  console.log('');
  console.log('| session | ms | beside | ms | ratio | at most |');
  console.log('|---|---|---|---|---|---|');
  for (const [work, ms, name, besideMs, most] of sessionRows) {
    console.log(`| ${work} | ${ms.toFixed(2)} | ${name} | ${besideMs.toFixed(1)} | ${(ms / besideMs).toFixed(3)} | ${most.toFixed(2)} |`);
  }
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
