// The module's interface (appended to the module by emcc --post-js): the core
// object's four functions, each copying its inputs into the module, making
// one call and copying the results out. A refusal or error is thrown as an
// Error whose message is what the command-line tool prints on standard error,
// its lines without the program name.
(function (core) {
  'use strict';
  var encoder = new TextEncoder();
  var decoder = new TextDecoder('utf-8', { ignoreBOM: true });  // the CSV files' byte-order mark stays

  function bytesOf(value, what) {
    if (typeof value === 'string') return encoder.encode(value);
    if (value instanceof Uint8Array) return value;
    if (value instanceof ArrayBuffer) return new Uint8Array(value);
    if (ArrayBuffer.isView(value)) return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
    throw new TypeError(what + ' must be a Uint8Array, an ArrayBuffer or a string');
  }

  // A file given as its bytes, or as { name, bytes }.
  function fileOf(value, name, what) {
    if (value && typeof value === 'object' && !ArrayBuffer.isView(value) && !(value instanceof ArrayBuffer)) {
      return { name: value.name === undefined ? name : String(value.name), bytes: bytesOf(value.bytes, what) };
    }
    return { name: name, bytes: bytesOf(value, what) };
  }

  // A text as a C string: UTF-8 as TextEncoder makes it (a lone surrogate
  // becomes U+FFFD, as everywhere else in the page).
  function string(text) {
    var bytes = encoder.encode(text);
    var at = core._malloc(bytes.length + 1);
    if (!at) {
      var error = new Error('Fatal error in malloc()');
      error.status = 1;
      throw error;
    }
    core.HEAPU8.set(bytes, at);
    core.HEAPU8[at + bytes.length] = 0;
    return at;
  }

  function checkGame(game) {
    if (game !== undefined && game !== null && game !== 'A' && game !== 'B') {
      throw new TypeError('game must be "A" or "B"');
    }
  }

  // Copies the inputs in; memory that runs out is thrown in the tools' words
  // (with status, the call's status for trouble).
  function putInputs(files, status) {
    core._mc_reset();
    files.forEach(function (file) {
      var at = string(file.name);
      var to = core._mc_input(at, file.bytes.length);
      core._free(at);
      if (!to) {
        var error = new Error('Fatal error in malloc()');
        error.status = status;
        throw error;
      }
      core.HEAPU8.set(file.bytes, to);
    });
  }

  // Runs one call of the shell on C strings made of texts (freed after it);
  // the results by name and the status, or the error thrown.
  function run(shellCall, texts) {
    var strings = texts.map(string);
    var failed = shellCall.apply(null, strings);
    strings.forEach(function (at) { core._free(at); });
    return collected(failed);
  }

  // One call of the core: the results by name, and the status.
  function call(name, game, options, files) {
    checkGame(game);
    putInputs(files, name === 'compare' || name === 'merge' ? 2 : 1);
    return run(core._mc_run, [name, game || '', JSON.stringify(options || {})]);
  }

  function collected(failed) {
    if (failed) {
      var at = core._mc_error();
      var error = new Error(decoder.decode(core.HEAPU8.subarray(at, at + core._mc_error_size())));
      error.status = core._mc_status();
      core._mc_reset();
      throw error;
    }
    var results = {};
    for (var i = 0, n = core._mc_output_count(); i < n; ++i) {
      var at = core._mc_output_data(i);
      results[core.UTF8ToString(core._mc_output_name(i))] = core.HEAPU8.slice(at, at + core._mc_output_size(i));
    }
    var status = core._mc_status();
    core._mc_reset();
    return { results: results, status: status };
  }

  function text(bytes) { return decoder.decode(bytes); }

  core.identify = function (image, game) {
    return JSON.parse(text(call('identify', game, {}, [fileOf(image, 'image', 'image')]).results.rom));
  };

  core.exportFiles = function (image, game) {
    var results = call('export', game, {}, [fileOf(image, 'image', 'image')]).results;
    var files = {};
    Object.keys(results).forEach(function (name) { files[name] = text(results[name]); });
    return files;
  };

  core.importFiles = function (image, files, options, game) {
    var inputs = [fileOf(image, 'image', 'image')];
    Object.keys(files || {}).forEach(function (name) { inputs.push(fileOf(files[name], name, name)); });
    // options.outputs: the outputs to make, of 'image', 'bps' and 'ips' (all
    // three when not given); the others are null.
    var wanted = options && Array.isArray(options.outputs) ? options.outputs : ['image', 'bps', 'ips'];
    var letters = { image: 'o', bps: 'p', ips: 'i' };
    var chosen = { headered: !!(options && options.headered),
                   outputs: wanted.map(function (w) { return letters[w] || ''; }).join('') };
    var results = call('import', game, chosen, inputs).results;
    var made = function (key) { return wanted.indexOf(key) >= 0 ? results[key] : null; };
    return { image: made('image'), bps: made('bps'), ips: made('ips'), changes: text(results.changes) };
  };

  core.compare = function (oldImage, other, options, game) {
    var chosen = { json: !!(options && options.json), ipsWithoutHeader: !!(options && options.ipsWithoutHeader) };
    var made = call('compare', game, chosen, [fileOf(oldImage, 'old', 'oldImage'), fileOf(other, 'new', 'other')]);
    return { status: made.status, text: text(made.results.text) };
  };

  // Several images or patches of one base merged field by field, as mtNmerge
  // does: { status, text, image, bps, ips } (the files when the status is 0).
  core.merge = function (base, changed, options, game) {
    var inputs = [fileOf(base, 'base', 'base')];
    (changed || []).forEach(function (c, i) { inputs.push(fileOf(c, 'changed-' + (i + 1), 'changed')); });
    var chosen = { json: !!(options && options.json), headered: !!(options && options.headered),
                   prefer: options && options.prefer !== undefined ? options.prefer : null };
    if (options && options.resolve !== undefined && options.resolve !== null) {
      inputs.push(fileOf(options.resolve, 'resolve.csv', 'resolve'));
      chosen.resolve = inputs[inputs.length - 1].name;
    }
    var made = call('merge', game, chosen, inputs);
    var done = made.status === 0;
    return { status: made.status, text: text(made.results.text), image: done ? made.results.image : null,
             bps: done ? made.results.bps : null, ips: done && !text(made.results.refusals) ? made.results.ips : null };
  };

  // A session: an image opened and edited a cell at a time (see core.open).
  function Session(number, game) {
    this.game = game;
    var rom = null, schema = null, closed = false, self = this;
    function sessionCall(options) {
      if (closed) throw new Error('the session is closed');
      return run(function (chosen) { return core._mc_session(number, chosen); }, [JSON.stringify(options)]).results;
    }
    function json(options) { return JSON.parse(text(sessionCall(options).json)); }
    // The rom block hashes the whole file: made when first asked for.
    Object.defineProperty(this, 'rom', {
      enumerable: true,
      get: function () { return rom || (rom = json({ call: 'rom' })); }
    });
    Object.defineProperty(this, 'schema', {
      enumerable: true,
      get: function () { return schema || (schema = json({ call: 'schema' })); }
    });
    this.records = function (table) { return json({ call: 'records', table: String(table) }); };
    this.record = function (table, index) { return json({ call: 'record', table: String(table), index: Number(index) }); };
    // A cell's value as the text typed in it: labels joined by a blank.
    function typedText(value) {
      return value === null || value === undefined ? '' : Array.isArray(value) ? value.join(' ') : String(value);
    }
    this.set = function (table, index, key, value) {
      var refusal = json({ call: 'set', table: String(table), index: String(index), key: String(key), value: typedText(value) });
      if (refusal) refusal.value = value;
      return refusal;
    };
    // Several cells set as one step ([[table, index, key, value], ...]): the
    // refusals (as set gives them), and with any refusal none is written.
    this.setAll = function (cells) {
      var list = Array.isArray(cells) ? cells : [];
      var typed = list.map(function (c) {
        var cell = Array.isArray(c) ? c : [];
        return [String(cell[0]), String(cell[1]), String(cell[2]), typedText(cell[3])];
      });
      var refusals = json({ call: 'setAll', cells: typed });
      refusals.forEach(function (r) {
        var at = typed.findIndex(function (c) { return c[0] === r.table && c[1] === r.index && c[2] === r.key; });
        if (at >= 0) r.value = list[at][3];
      });
      return refusals;
    };
    this.changes = function () { return json({ call: 'changes' }); };
    this.files = function (options) {
      var made = sessionCall({ call: 'files', headered: !!(options && options.headered) });
      var refusals = text(made.refusals).split('\n').filter(function (line) { return line; });
      return { image: made.image, bps: made.bps, ips: refusals.length ? null : made.ips, refusals: refusals };
    };
    this.close = function () {
      if (!closed) core._mc_close(number);
      closed = true;
      self.closed = true;
    };
  }

  // Opens an image (a Uint8Array, or { name, bytes }) of options.game, or of
  // the game whose title it holds, into a session.
  core.open = function (image, options) {
    var game = options && options.game;
    checkGame(game);
    putInputs([fileOf(image, 'image', 'image')], 1);
    var number = 0;
    var opened = run(function (name) { number = core._mc_open(name); return number ? 0 : 1; }, [game || '']);
    return new Session(number, text(opened.results.game));
  };
})(Module);
