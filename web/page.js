// The page: the program's own core (zyr2font_core.wasm) reads, writes,
// patches and attaches; this script only moves bytes between the user's
// files and the core, and draws. The single-file page carries the core as
// base64 in kCoreBase64; served from its folder, it fetches the file.
'use strict';

const kGlyphs = 256;
const kGlyphBytes = 8;
const kFontSize = kGlyphs * kGlyphBytes;
// The grid: each glyph pixel 3x3 screen pixels, a line between glyphs, the
// codes down the side and across the top.
const kGridScale = 3;
const kGridCell = kGlyphBytes * kGridScale + 1;
const kGridLeft = 34;
const kGridTop = 16;
// The editor: each pixel 32x32 with a line between.
const kEditorCell = 32;
const kInk = '#1d1d1b';
const kPaper = '#ffffff';
const kGameInk = '#e0e0e0';
const kGameScreen = '#101010';

let core = null;       // the module's exports
let selected = 0x41;   // the glyph being edited
let cursor = [0, 0];   // the editor's keyboard cursor: row, column
let undoStack = [];    // strokes: {code, before, after}
let redoStack = [];
let copiedGlyph = null;
let stroke = null;     // the stroke being drawn: {code, before, ink}
let game = null;       // the game files chosen: {folder, files: [{name, handle, bytes}]}

const $ = (id) => document.getElementById(id);

// --- The core -----------------------------------------------------------

function memory() {
  return new Uint8Array(core.memory.buffer);
}

// Bytes into the module's memory; the caller frees them.
function put(bytes) {
  const at = core.zyr2_alloc(bytes.length);
  memory().set(bytes, at);
  return at;
}

function withBytes(list, use) {
  const pointers = list.map(put);
  try {
    return use(...pointers);
  } finally {
    pointers.forEach((at) => core.zyr2_free(at));
  }
}

const utf8 = (text) => new TextEncoder().encode(text);

function coreMessages() {
  const at = core.zyr2_messages();
  return new TextDecoder().decode(memory().slice(at, at + core.zyr2_messages_length()));
}

function coreOutput() {
  const at = core.zyr2_output();
  return memory().slice(at, at + core.zyr2_output_length());
}

function font() {
  return new Uint8Array(core.memory.buffer, core.zyr2_font(), kFontSize);
}

// Reads a source as the program's --convert does; into the font edited, or
// only into the output (the game's own font).
function openSource(name, bytes, codePage, intoOutput) {
  const nameBytes = utf8(name);
  return withBytes([nameBytes, bytes], (nameAt, bytesAt) =>
    core.zyr2_open(nameAt, nameBytes.length, bytesAt, bytes.length, codePage,
                   intoOutput ? 1 : 0) === 1);
}

function fontFile(extension) {
  const nameBytes = utf8('font' + extension);
  const codePage = Number($('code-page').value);
  return withBytes([nameBytes],
    (at) => core.zyr2_save(at, nameBytes.length, codePage) === 1)
    ? coreOutput() : null;
}

// The WASI calls the C library may make; none is needed, each says so.
function wasiStubs() {
  return new Proxy({}, {
    get: (target, name) => name === 'proc_exit'
      ? (code) => { throw new Error('the core stopped: ' + code); }
      : () => 52,  // ENOSYS
  });
}

async function loadCore() {
  let bytes;
  if (typeof kCoreBase64 === 'string') {
    bytes = Uint8Array.from(atob(kCoreBase64), (c) => c.charCodeAt(0));
  } else {
    bytes = await (await fetch('zyr2font_core.wasm')).arrayBuffer();
  }
  const { instance } = await WebAssembly.instantiate(bytes, {
    wasi_snapshot_preview1: wasiStubs(),
  });
  if (instance.exports._initialize) instance.exports._initialize();
  return instance.exports;
}

// --- Messages and downloads ---------------------------------------------

function say(text) {
  $('messages').textContent = text.replace(/\r\n/g, '\n').trim();
}

function download(name, bytes) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

async function readFile(file) {
  return new Uint8Array(await file.arrayBuffer());
}

// --- Drawing ------------------------------------------------------------

function isInk(code, row, column) {
  return (font()[code * kGlyphBytes + row] >> (7 - column) & 1) === 1;
}

function hex(value, digits) {
  return value.toString(16).toUpperCase().padStart(digits, '0');
}

function drawGrid() {
  const canvas = $('grid');
  const width = kGridLeft + 16 * kGridCell + 1;
  const height = kGridTop + 16 * kGridCell + 1;
  if (canvas.width !== width) {
    canvas.width = width;
    canvas.height = height;
    Object.assign(canvas.dataset, {
      left: kGridLeft + 1, top: kGridTop + 1, cell: kGridCell, scale: kGridScale,
    });
  }
  const g = canvas.getContext('2d');
  g.fillStyle = '#f6f5f2';
  g.fillRect(0, 0, width, height);
  g.fillStyle = '#555';
  g.font = '11px monospace';
  g.textBaseline = 'middle';
  for (let i = 0; i < 16; i++) {
    g.fillText('0x' + hex(i * 16, 2), 0, kGridTop + i * kGridCell + kGridCell / 2);
    g.fillText(hex(i, 1), kGridLeft + i * kGridCell + kGridCell / 2 - 3, kGridTop / 2);
  }
  g.fillStyle = '#bbb';
  g.fillRect(kGridLeft, kGridTop, 16 * kGridCell + 1, 16 * kGridCell + 1);
  for (let code = 0; code < kGlyphs; code++) {
    const x = kGridLeft + (code % 16) * kGridCell + 1;
    const y = kGridTop + Math.floor(code / 16) * kGridCell + 1;
    g.fillStyle = kPaper;
    g.fillRect(x, y, kGridCell - 1, kGridCell - 1);
    g.fillStyle = kInk;
    for (let row = 0; row < 8; row++) {
      for (let column = 0; column < 8; column++) {
        if (isInk(code, row, column))
          g.fillRect(x + column * kGridScale, y + row * kGridScale, kGridScale, kGridScale);
      }
    }
  }
  const x = kGridLeft + (selected % 16) * kGridCell;
  const y = kGridTop + Math.floor(selected / 16) * kGridCell;
  g.strokeStyle = '#e08a00';
  g.lineWidth = 2;
  g.strokeRect(x, y, kGridCell + 1, kGridCell + 1);
}

function drawEditor() {
  const g = $('editor').getContext('2d');
  g.fillStyle = '#bbb';
  g.fillRect(0, 0, 257, 257);
  for (let row = 0; row < 8; row++) {
    for (let column = 0; column < 8; column++) {
      g.fillStyle = isInk(selected, row, column) ? kInk : kPaper;
      g.fillRect(column * kEditorCell + 1, row * kEditorCell + 1, kEditorCell - 1, kEditorCell - 1);
    }
  }
  if (document.activeElement === $('editor')) {
    g.strokeStyle = '#e08a00';
    g.lineWidth = 3;
    g.strokeRect(cursor[1] * kEditorCell + 2, cursor[0] * kEditorCell + 2, kEditorCell - 3, kEditorCell - 3);
  }
  $('glyph-label').textContent = 'Glyph 0x' + hex(selected, 2) + ' (' + selected + ')';
}

// Code of each character of the text in the code page chosen; a character
// the code page lacks is drawn as the blank glyph, the space's.
function previewCodes(text) {
  const codePage = Number($('code-page').value) || 437;
  return Array.from(text, (character) => {
    const code = core.zyr2_code_of(codePage, character.codePointAt(0));
    return code < 0 ? 0x20 : code;
  });
}

function drawPreviews() {
  const codes = previewCodes($('preview-text').value);
  for (const canvas of $('previews').querySelectorAll('canvas')) {
    const scale = Number(canvas.dataset.scale);
    canvas.width = Math.max(1, codes.length) * 8 * scale + 8 * scale;
    canvas.height = 16 * scale;
    const g = canvas.getContext('2d');
    g.fillStyle = kGameScreen;
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.fillStyle = kGameInk;
    codes.forEach((code, i) => {
      for (let row = 0; row < 8; row++) {
        for (let column = 0; column < 8; column++) {
          if (isInk(code, row, column))
            g.fillRect((4 + i * 8 + column) * scale, (4 + row) * scale, scale, scale);
        }
      }
    });
  }
}

function redraw() {
  drawGrid();
  drawEditor();
  drawPreviews();
}

// --- Editing ------------------------------------------------------------

function glyphBytes(code) {
  return font().slice(code * kGlyphBytes, (code + 1) * kGlyphBytes);
}

function setGlyph(code, bytes) {
  font().set(bytes, code * kGlyphBytes);
}

function setPixel(code, row, column, ink) {
  const at = code * kGlyphBytes + row;
  const bit = 0x80 >> column;
  const bytes = font();
  bytes[at] = ink ? bytes[at] | bit : bytes[at] & ~bit;
}

// A change of one glyph, undone and redone as one step.
function record(code, before) {
  const after = glyphBytes(code);
  if (before.every((b, i) => b === after[i])) return;
  undoStack.push({ code, before, after });
  redoStack = [];
}

// Moves the last step from one stack to the other, putting its glyph back
// as it was before it (undo) or after it (redo).
function replay(from, to, side) {
  const step = from.pop();
  if (!step) return;
  setGlyph(step.code, step[side]);
  to.push(step);
  selected = step.code;
  redraw();
}

const undo = () => replay(undoStack, redoStack, 'before');
const redo = () => replay(redoStack, undoStack, 'after');

function copyGlyph() {
  copiedGlyph = glyphBytes(selected);
}

function pasteGlyph() {
  if (!copiedGlyph) return;
  const before = glyphBytes(selected);
  setGlyph(selected, copiedGlyph);
  record(selected, before);
  redraw();
}

function editorPixel(event) {
  const box = $('editor').getBoundingClientRect();
  const column = Math.floor((event.clientX - box.left) / box.width * 8);
  const row = Math.floor((event.clientY - box.top) / box.height * 8);
  return row >= 0 && row < 8 && column >= 0 && column < 8 ? [row, column] : null;
}

// A stroke draws ink when it begins on paper, and paper when on ink.
function startStroke(event) {
  const pixel = editorPixel(event);
  if (!pixel) return;
  $('editor').setPointerCapture(event.pointerId);
  stroke = { code: selected, before: glyphBytes(selected), ink: !isInk(selected, ...pixel) };
  cursor = pixel;
  setPixel(selected, ...pixel, stroke.ink);
  redraw();
}

function continueStroke(event) {
  if (!stroke) return;
  const pixel = editorPixel(event);
  if (!pixel || isInk(stroke.code, ...pixel) === stroke.ink) return;
  setPixel(stroke.code, ...pixel, stroke.ink);
  redraw();
}

function endStroke() {
  if (!stroke) return;
  record(stroke.code, stroke.before);
  stroke = null;
}

function choose(code) {
  selected = (code + kGlyphs) % kGlyphs;
  redraw();
}

function gridKey(event) {
  const moves = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -16, ArrowDown: 16 };
  if (event.key in moves) {
    choose(selected + moves[event.key]);
  } else if (event.key === 'Enter') {
    $('editor').focus();
  } else {
    return;
  }
  event.preventDefault();
}

function editorKey(event) {
  const moves = { ArrowLeft: [0, -1], ArrowRight: [0, 1], ArrowUp: [-1, 0], ArrowDown: [1, 0] };
  if (event.key in moves) {
    cursor = [(cursor[0] + moves[event.key][0] + 8) % 8, (cursor[1] + moves[event.key][1] + 8) % 8];
  } else if (event.key === ' ' || event.key === 'Enter') {
    const before = glyphBytes(selected);
    setPixel(selected, ...cursor, !isInk(selected, ...cursor));
    record(selected, before);
  } else if (event.key === 'Escape') {
    $('grid').focus();
  } else {
    return;
  }
  event.preventDefault();
  redraw();
}

function shortcut(event) {
  if (!(event.ctrlKey || event.metaKey)) return;
  const inText = event.target.matches('input[type=text]');
  const key = event.key.toLowerCase();
  if (key === 'z' && !inText) {
    event.shiftKey ? redo() : undo();
  } else if (key === 'y' && !inText) {
    redo();
  } else if (key === 'c' && !inText && !window.getSelection().toString()) {
    copyGlyph();
  } else if (key === 'v' && !inText) {
    pasteGlyph();
  } else {
    return;
  }
  event.preventDefault();
}

// --- Opening, saving ----------------------------------------------------

async function openFile(file) {
  const bytes = await readFile(file);
  const codePage = Number($('code-page').value);
  if (openSource(file.name, bytes, codePage, false)) {
    undoStack = [];
    redoStack = [];
    say(coreMessages() || file.name + ' is open.');
  } else {
    say(coreMessages());
  }
  redraw();
}

function save() {
  let name = $('save-name').value.trim() || 'ZYR2';
  const extension = $('save-format').value;
  if (!name.toLowerCase().endsWith(extension)) name = name.replace(/\.[^.]*$/, '') + extension;
  const bytes = fontFile(extension);
  if (bytes) {
    download(name, bytes);
    say(name + ' is saved (' + bytes.length + ' bytes) where your browser puts downloads.');
  }
}

// --- The game -----------------------------------------------------------

// The game's files among the files given, read.
async function gameFiles(entries) {
  const files = [];
  for (const { name, handle, file } of entries) {
    const nameBytes = utf8(name);
    if (withBytes([nameBytes], (at) => core.zyr2_is_game_file(at, nameBytes.length)) !== 1) continue;
    files.push({ name, handle, bytes: await readFile(file || await handle.getFile()) });
  }
  return files;
}

async function chooseGame(folder, entries) {
  const files = await gameFiles(entries);
  // The game's own font, from the first file that holds one.
  const original = files.find((f) => openSource(f.name, f.bytes, 0, true));
  game = { folder, files, originalFont: original ? coreOutput() : null };
  $('original').hidden = !original;
  $('patch').hidden = files.length === 0;
  if (files.length === 0) {
    say('None of ZYR2.DOS, ZYR2.EXE or BRANVEL.EXE is among the files chosen.');
    return;
  }
  say('Found: ' + files.map((f) => f.name + ' (' + f.bytes.length + ' bytes)').join(', ') + '.' +
      (original ? '' : '\n' + coreMessages()));
}

async function pickFolder() {
  if (typeof window.showDirectoryPicker !== 'function') {
    say('This browser cannot open a folder from a page. Choose or drop the game files ' +
        'instead: you get each patched file back as a download, to put in the game folder.');
    $('game-files').focus();
    return;
  }
  let folder;
  try {
    folder = await window.showDirectoryPicker({ mode: 'readwrite' });
  } catch (error) {
    if (error.name === 'AbortError') return;
    say('The browser did not open the folder here (' + error.message + '). Choose or drop the ' +
        'game files instead: you get each patched file back as a download.');
    $('game-files').focus();
    return;
  }
  const entries = [];
  for await (const [name, handle] of folder.entries()) {
    if (handle.kind === 'file') entries.push({ name, handle });
  }
  await chooseGame(folder, entries);
}

function saveOriginal() {
  if (game && game.originalFont) download('original.fnt', game.originalFont);
}

// Only the font's 2048 bytes are written into a file of the folder, through
// a stream the browser puts in place whole when it closes, or not at all.
async function writeInPlace(handle, offset) {
  const writable = await handle.createWritable({ keepExistingData: true });
  try {
    await writable.write({ type: 'write', position: offset, data: font().slice() });
    await writable.close();
  } catch (error) {
    await writable.abort();
    throw error;
  }
}

async function patch() {
  if (!game) return;
  core.zyr2_clear_game();
  for (const file of game.files) {
    const nameBytes = utf8(file.name);
    withBytes([nameBytes, file.bytes], (nameAt, bytesAt) =>
      core.zyr2_add_game_file(nameAt, nameBytes.length, bytesAt, file.bytes.length));
  }
  core.zyr2_patch();
  const lines = [];
  const said = coreMessages().trim();
  if (said) lines.push(said);
  for (const [i, file] of game.files.entries()) {
    const offset = core.zyr2_patched_offset(i);
    if (offset < 0) continue;
    if (game.folder) {
      try {
        await writeInPlace(file.handle, offset);
        lines.push(file.name + ' is patched in the game folder.');
      } catch (error) {
        lines.push(file.name + ' could not be written (' + error.message + '); it is as it was.');
      }
    } else {
      const patched = file.bytes.slice();
      patched.set(font(), offset);
      download(file.name, patched);
      lines.push(file.name + ' is patched: it was saved where your browser puts downloads. ' +
                 'Put it in the game folder, in place of the old one.');
    }
  }
  say(lines.join('\n'));
}

// --- Attaching ----------------------------------------------------------

async function attach(file) {
  const bytes = await readFile(file);
  const nameBytes = utf8(file.name);
  const attached = withBytes([nameBytes, bytes], (nameAt, bytesAt) =>
    core.zyr2_attach(nameAt, nameBytes.length, bytesAt, bytes.length) === 1);
  if (!attached) {
    say(coreMessages());
    return;
  }
  download(file.name, coreOutput());
  say(file.name + ' now carries the font: it was saved where your browser puts downloads.');
}

// --- Start --------------------------------------------------------------

function fillCodePages() {
  const select = $('code-page');
  const numbersAt = core.zyr2_code_pages();
  const text = new TextDecoder().decode(memory().slice(numbersAt, numbersAt + core.zyr2_code_pages_length()));
  for (const number of text.match(/\d+/g)) select.add(new Option(number, number));
}

function listen() {
  $('open-file').addEventListener('change', (e) => e.target.files[0] && openFile(e.target.files[0]));
  $('code-page').addEventListener('change', drawPreviews);
  $('grid').addEventListener('pointerdown', (event) => {
    const box = $('grid').getBoundingClientRect();
    const x = (event.clientX - box.left) / box.width * $('grid').width - kGridLeft;
    const y = (event.clientY - box.top) / box.height * $('grid').height - kGridTop;
    if (x >= 0 && y >= 0 && x < 16 * kGridCell && y < 16 * kGridCell)
      choose(Math.floor(y / kGridCell) * 16 + Math.floor(x / kGridCell));
  });
  $('grid').addEventListener('keydown', gridKey);
  $('editor').addEventListener('pointerdown', startStroke);
  $('editor').addEventListener('pointermove', continueStroke);
  $('editor').addEventListener('pointerup', endStroke);
  $('editor').addEventListener('pointercancel', endStroke);
  $('editor').addEventListener('keydown', editorKey);
  $('editor').addEventListener('focus', drawEditor);
  $('editor').addEventListener('blur', drawEditor);
  $('undo').addEventListener('click', undo);
  $('redo').addEventListener('click', redo);
  $('copy').addEventListener('click', copyGlyph);
  $('paste').addEventListener('click', pasteGlyph);
  $('preview-text').addEventListener('input', drawPreviews);
  $('save').addEventListener('click', save);
  $('pick-folder').addEventListener('click', pickFolder);
  $('game-files').addEventListener('change', (e) =>
    chooseGame(null, Array.from(e.target.files, (file) => ({ name: file.name, file }))));
  $('save-original').addEventListener('click', saveOriginal);
  $('patch').addEventListener('click', patch);
  $('attach-program').addEventListener('change', (e) => e.target.files[0] && attach(e.target.files[0]));
  document.addEventListener('keydown', shortcut);
  document.addEventListener('dragover', (e) => { e.preventDefault(); document.body.classList.add('dropping'); });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  // Files dropped on the game's part are game files, on the program's part
  // a program; anywhere else, a font to open.
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    document.body.classList.remove('dropping');
    const files = Array.from(e.dataTransfer.files);
    if (files.length === 0) return;
    if (e.target.closest('#patch-section')) {
      chooseGame(null, files.map((file) => ({ name: file.name, file })));
    } else if (e.target.closest('#attach-section')) {
      attach(files[0]);
    } else {
      openFile(files[0]);
    }
  });
}

loadCore().then((exports) => {
  core = exports;
  fillCodePages();
  listen();
  redraw();
  document.body.dataset.ready = 'yes';
}, (error) => say('The page could not start its core: ' + error.message));
