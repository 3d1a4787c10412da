// What the module's tests share: the tools of a build run in a work folder,
// and a module call's result or error held beside a tool's run.
'use strict';
const assert = require('node:assert/strict');
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const MODULE = path.resolve(process.env.MERIDIAN_CORE || 'build-wasm/meridian-core.js');
const TOOLS = path.resolve(process.env.MT_TOOLS || 'build');
const MIB = 1024 * 1024;
const GAMES = {
  A: { prefix: 'mt2', title: 'MERIDIAN TALES2      ', mapMode: 0x20, header: 0x7FC0, sizes: [2 * MIB, 1536 * 1024, 1 * MIB] },
  B: { prefix: 'mt3', title: 'MERIDIAN TALES3      ', mapMode: 0x21, header: 0xFFC0, sizes: [4 * MIB, 3 * MIB, 2 * MIB] },
};

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'meridian-core-'));
process.on('exit', () => fs.rmSync(work, { recursive: true, force: true }));

function tool(game, family) {
  return path.join(TOOLS, 'tools', GAMES[game].prefix + family);
}

// Both games' demo images, written by the build's mt_demo_images into the
// new folder work/demo, which is returned.
function writeDemoImages() {
  const dir = path.join(work, 'demo');
  fs.mkdirSync(dir);
  execFileSync(path.join(TOOLS, 'tools', 'mt_demo_images'), [dir]);
  return dir;
}

// A tool's run: its status, standard output as bytes, and standard error
// as the module words it (without the program name).
function run(game, family, args) {
  const made = spawnSync(tool(game, family), args, { cwd: work, maxBuffer: 256 * MIB });
  if (made.error) throw new Error(`${family} ${args.join(' ')}: ${made.error.message}`);
  const name = tool(game, family) + ': ';
  const error = made.stderr.toString('utf8').split('\n').filter((l) => l !== '')
    .map((l) => (l.startsWith(name) ? l.slice(name.length) : l)).join('\n');
  return { status: made.status, stdout: made.stdout, error };
}

// A module call's error, or its result.
function attempt(f) {
  try {
    return { value: f() };
  } catch (e) {
    return { error: e };
  }
}

function assertSameError(made, ran, what) {
  assert.ok(made.error, `${what}: the module gave no error, the tool said: ${ran.error}`);
  assert.ok(made.error instanceof Error, `${what}: not an Error`);
  assert.equal(made.error.message, ran.error, what);
}

module.exports = { MODULE, TOOLS, MIB, GAMES, work, tool, writeDemoImages, run, attempt, assertSameError };
