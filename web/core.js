// The binding to the program's core, zyr2font_core.wasm: the one place
// that knows its exports. Every call hands bytes in and gets the core's
// answer back (done or not, what it said, the bytes it made), copied out
// and freed before the call returns: no pointer of the core's outlives a
// call, and the core keeps nothing from one call to the next. The
// single-file page carries the core deflated, as base64, in kCoreDeflated;
// served from its folder, the page fetches the file.
'use strict';

const kFontSize = 2048;

// What became of a game file in a patch run, as the core numbers it.
const kNotPatched = 0;
const kPatched = 1;
const kHeldTheFont = 2;

const Core = (() => {
  let compiled = null;  // the module, compiled once
  let core = null;      // the exports of its running instance

  const memory = () => new Uint8Array(core.memory.buffer);
  const decode = (at, length) => new TextDecoder().decode(memory().slice(at, at + length));

  // The WASI calls the C library may make; none is needed, each says so.
  function wasiStubs() {
    return new Proxy({}, {
      get: (target, name) => name === 'proc_exit'
        ? (code) => { throw new Error('the core stopped: ' + code); }
        : () => 52,  // ENOSYS
    });
  }

  async function instantiate() {
    const instance = await WebAssembly.instantiate(compiled, {
      wasi_snapshot_preview1: wasiStubs(),
    });
    if (instance.exports._initialize) instance.exports._initialize();
    core = instance.exports;
  }

  // zlib's deflate, undone by the browser's own inflate.
  async function inflate(bytes) {
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate'));
    return new Response(stream).arrayBuffer();
  }

  async function load() {
    const bytes = typeof kCoreDeflated === 'string'
      ? await inflate(Uint8Array.from(atob(kCoreDeflated), (c) => c.charCodeAt(0)))
      : await (await fetch('zyr2font_core.wasm')).arrayBuffer();
    compiled = await WebAssembly.compile(bytes);
    await instantiate();
  }

  // After a trap (the core out of memory, say) its memory is in no known
  // state: a new instance starts clean, and since the core keeps nothing,
  // nothing is lost.
  const restart = instantiate;

  // Bytes into the core's memory for the length of use().
  function withBytes(bytes, use) {
    const at = core.zyr2_alloc(bytes.length);
    if (at === 0) throw new Error('the core has no room for ' + bytes.length + ' bytes');
    try {
      memory().set(bytes, at);
      return use(at, bytes.length);
    } finally {
      core.zyr2_free(at);
    }
  }

  const withText = (text, use) => withBytes(new TextEncoder().encode(text), use);

  // Files handed in, each {name, length, bytes}: bytes is the whole file
  // or its end (of a text, the whole or nothing). Each is written straight
  // into the room the core makes for it; the call given the input takes
  // it over.
  function input(files, add = core.zyr2_input_add) {
    const at = core.zyr2_input();
    for (const file of files) {
      const room = withText(file.name, (name, length) =>
        add(at, name, length, file.length, file.bytes.length));
      if (room === 0) {
        core.zyr2_input_free(at);
        throw new Error(file.name + ' is longer than the core takes');
      }
      memory().set(file.bytes, room);
    }
    return at;
  }

  // Reads the answer a call gave, and frees it.
  function answer(at) {
    try {
      const bytesOf = (start, length) => memory().slice(start, start + length);
      return {
        done: core.zyr2_answer_done(at) === 1,
        figure: core.zyr2_answer_figure(at),
        said: decode(core.zyr2_answer_text(at), core.zyr2_answer_text_length(at)).trim(),
        bytes: bytesOf(core.zyr2_answer_bytes(at), core.zyr2_answer_bytes_length(at)),
        ownCodePage: core.zyr2_answer_own_code_page(at),
        checkedIn: decode(core.zyr2_answer_checked_in(at), core.zyr2_answer_checked_in_length(at)),
        files: Array.from({ length: core.zyr2_answer_files(at) }, (_, i) => ({
          outcome: core.zyr2_answer_file_outcome(at, i),
          offset: core.zyr2_answer_file_offset(at, i),
          bytes: bytesOf(core.zyr2_answer_file_bytes(at, i), core.zyr2_answer_file_bytes_length(at, i)),
        })),
      };
    } finally {
      core.zyr2_answer_free(at);
    }
  }

  // The font of a source, {name, length, bytes}, read as --convert reads
  // it, its glyphs placed by the code page numbered (0: as the font says);
  // or, byOwn and with none numbered, as --check reads it, placed by the
  // code page the font tells it is its own. {font, placedBy, said, own};
  // font is null when none was read; own, read byOwn, is {codePage,
  // checkedIn}: the code page the font tells (0: none) and the program's
  // sentence of the code page its texts are checked in and why; else null.
  function open(source, codePage, byOwn = false) {
    const read = answer(core.zyr2_open(input([source]), codePage, byOwn ? 1 : 0));
    return {
      font: read.done ? read.bytes : null, placedBy: read.figure, said: read.said,
      own: read.checkedIn ? { codePage: read.ownCodePage, checkedIn: read.checkedIn } : null,
    };
  }

  // The font in the format the file name's extension names; null for an
  // extension that names none.
  function save(font, fileName, codePage) {
    const saved = withBytes(font, (at) => withText(fileName, (name, length) =>
      answer(core.zyr2_save(at, name, length, codePage))));
    return saved.done ? saved.bytes : null;
  }

  // The font with a glyph transform, numbered as glyphTransforms() lists
  // them, done to the codes from first to last.
  function transform(font, first, last, number) {
    const done = withBytes(font, (at) => answer(core.zyr2_transform(at, first, last, number)));
    return done.done ? done.bytes : null;
  }

  // The font with the other's glyphs at the codes from first to last, or
  // wherever it is blank and the other is not: {font, taken}.
  function take(font, other, first, last, whereBlank) {
    const taken = withBytes(font, (at) => withBytes(other, (otherAt) =>
      answer(core.zyr2_take(at, otherAt, first, last, whereBlank ? 1 : 0))));
    return { font: taken.bytes, taken: taken.figure };
  }

  // Patches the game files, each {name, length, bytes}, in memory: {done,
  // said, files}, each file's {outcome, offset, bytes} in the order given,
  // bytes being the whole file as patched. Not done with a blank font.
  function patch(font, files) {
    const patched = withBytes(font, (at) => answer(core.zyr2_patch(input(files), at)));
    return { done: patched.done, said: patched.said, files: patched.files };
  }

  // A copy of the program, {name, length, bytes}, carrying the font:
  // {bytes, said}; bytes is null when the core refused it.
  function attach(font, program) {
    const attached = withBytes(font, (at) => answer(core.zyr2_attach(input([program]), at)));
    return { bytes: attached.done ? attached.bytes : null, said: attached.said };
  }

  // Checks texts, each {name, length, bytes}, in the code page numbered,
  // as --check does: {said, checked}. checked is null when a text could
  // not be checked (said says why in the program's words); else {files,
  // characters, better, betterLacks, betterComposed, uses, lacking,
  // coded}: better serving once the texts are composed (NFC) where
  // betterComposed; the uses of
  // each code, and each character, {name, count, first: {file, line,
  // column}, code}, the code page lacks or has, by count. Against the
  // font, the coded ones whose glyph is blank are those --check lists.
  function check(texts, codePage) {
    const answered = answer(core.zyr2_check(input(texts, core.zyr2_input_add_text), codePage));
    if (!answered.done) return { said: answered.said, checked: null };
    const [head, uses, ...rest] = new TextDecoder().decode(answered.bytes).split('\n')
      .filter((line) => line !== '').map((line) => line.split('\t'));
    const [files, characters, better, betterLacks, composed] = head.map(Number);
    const betterComposed = composed === 1;
    const characterOf = ([kind, name, count, file, line, column, code]) => ({
      kind, name, count: Number(count), code: Number(code),
      first: { file: Number(file), line: Number(line), column: Number(column) },
    });
    const listed = rest.map(characterOf);
    return {
      said: '',
      checked: {
        files, characters, better, betterLacks, betterComposed, uses: uses.map(Number),
        lacking: listed.filter((character) => character.kind === 'lacking'),
        coded: listed.filter((character) => character.kind === 'coded'),
      },
    };
  }

  // A block of glyphs, {codes, width}: its codes in reading order and its
  // glyphs across, as --codes and --width give them. Its picture is
  // {width, height, pixels}, a byte a pixel (1 ink), row by row.
  const withBlock = (font, block, use) => withBytes(font, (at) =>
    withBytes(Uint8Array.from(block.codes), (codes) => use(at, codes, block.codes.length, block.width)));

  function blockCut(font, block) {
    const cut = withBlock(font, block, (...args) => answer(core.zyr2_block_cut(...args)));
    if (!cut.done) return null;
    return { width: cut.figure, height: cut.bytes.length / cut.figure, pixels: cut.bytes };
  }

  // The font with the picture in the block; null for one of another size.
  function blockPut(font, block, picture) {
    const put = withBlock(font, block, (...args) => withBytes(picture.pixels, (pixels) =>
      answer(core.zyr2_block_put(...args, pixels, picture.width, picture.height))));
    return put.done ? put.bytes : null;
  }

  // The picture with a glyph transform done to it as one; null for a
  // rotation of a picture that is not square.
  function blockTransform(picture, number) {
    const turned = withBytes(picture.pixels, (pixels) =>
      answer(core.zyr2_block_transform(pixels, picture.width, picture.height, number)));
    return turned.done ? { ...picture, pixels: turned.bytes } : null;
  }

  // The block's picture as the PNG --convert writes.
  const blockPng = (font, block) => withBlock(font, block, (...args) => answer(core.zyr2_block_png(...args))).bytes;

  // The font with a picture file, {name, length, bytes}, in the block, as
  // --merge puts it: {font, said}; font is null when the picture does not
  // fit, and said says why in the program's words.
  function blockRead(font, block, file) {
    const read = withBlock(font, block, (...args) => answer(core.zyr2_block_read(input([file]), ...args)));
    return { font: read.done ? read.bytes : null, said: read.said };
  }

  const codePages = () => answer(core.zyr2_code_pages()).said.match(/\d+/g).map(Number);

  // The glyph transforms there are: [{number, name, description, done}].
  const glyphTransforms = () => answer(core.zyr2_glyph_transforms()).said.split('\n')
    .map((line) => line.split('\t'))
    .map(([number, name, description, done]) => ({ number: Number(number), name, description, done }));

  const isGameFile = (name) => withText(name, (at, length) => core.zyr2_is_game_file(at, length)) === 1;
  // The code of a character in a code page; -1 where it has none.
  const codeOf = (codePage, character) => core.zyr2_code_of(codePage, character.codePointAt(0));
  // The character a code shows in a code page; '' for none.
  function characterOf(codePage, code) {
    const character = core.zyr2_character_of(codePage, code);
    return character > 0 ? String.fromCodePoint(character) : '';
  }

  return {
    load, restart, open, save, transform, take, patch, attach, check, codePages,
    blockCut, blockPut, blockTransform, blockPng, blockRead,
    glyphTransforms, isGameFile, codeOf, characterOf,
    largestSource: () => core.zyr2_largest_source(),
    largestText: () => core.zyr2_largest_text(),
    tailLength: () => core.zyr2_tail_length(),
    memoryBytes: () => core.memory.buffer.byteLength,
  };
})();
