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
const kSelectedPaper = '#ffdca0';
const kGameInk = '#e0e0e0';
const kGameScreen = '#101010';

let core = null;       // the module's exports
let selected = 0x41;   // the glyph being edited, one end of the selection
let anchor = 0x41;     // the selection's other end: the codes between are
                       // what the glyph operations act on
let cursor = [0, 0];   // the editor's keyboard cursor: row, column
// What is open besides the font's bytes, which the core holds: the font's
// name, the code page chosen (0: as the font says), the code page that
// placed its glyphs (0: none), and the file it came from, kept to place it
// again: {id, name, length, bytes}.
let work = { name: '', codePage: 0, placedBy: 0, source: null };
// Steps: a glyph's change {code, before, after}, or a change of the whole
// work {before, after}, each a snapshot().
let undoStack = [];
let redoStack = [];
let dirty = false;     // changes neither saved nor patched
let storage = null;    // the browser's database that keeps the work
let copied = null;     // glyphs copied, one after the other
let other = null;      // the font glyphs are taken from: {name}
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
  if (at === 0) throw new Error('the core has no room for ' + bytes.length + ' bytes');
  memory().set(bytes, at);
  return at;
}

// A file of the user's, as the core takes it: whole, or, when longer than
// any font file it reads, by its end alone, where a program keeps a font.
// Nothing more of a long file is read.
async function readSource(file) {
  const whole = file.size <= core.zyr2_largest_source();
  const part = whole ? file : file.slice(Math.max(0, file.size - core.zyr2_tail_length()));
  return { name: file.name, length: file.size, bytes: await readFile(part) };
}

// Hands a source to the core for its next call, written straight into the
// room the core keeps for it.
function handIn(source) {
  const at = core.zyr2_source(source.bytes.length);
  if (at === 0) throw new Error('the core has no room for ' + source.bytes.length + ' bytes');
  memory().set(source.bytes, at);
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

// Where the core puts a font it reads.
const kIntoFont = 0;
const kIntoOutput = 1;  // the game's own font, a font placed again
const kIntoOther = 2;   // the font glyphs are taken from

// Reads a source as the program's --convert does.
function openSource(source, codePage, into) {
  const nameBytes = utf8(source.name);
  handIn(source);
  return withBytes([nameBytes], (nameAt) =>
    core.zyr2_open(nameAt, nameBytes.length, source.length, codePage, into) === 1);
}

function isGameFile(name) {
  const nameBytes = utf8(name);
  return withBytes([nameBytes], (at) => core.zyr2_is_game_file(at, nameBytes.length)) === 1;
}

function fontFile(extension) {
  const nameBytes = utf8('font' + extension);
  return withBytes([nameBytes],
    (at) => core.zyr2_save(at, nameBytes.length, work.codePage) === 1)
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

// Shows a message as text: line breaks kept, no other control character.
function say(text) {
  $('messages').textContent = text.replace(/\r\n/g, '\n')
    .replace(/[\u0000-\u0009\u000b-\u001f\u007f]/g, '').trim();
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
  const [first, last] = selection();
  for (let code = 0; code < kGlyphs; code++) {
    const x = kGridLeft + (code % 16) * kGridCell + 1;
    const y = kGridTop + Math.floor(code / 16) * kGridCell + 1;
    g.fillStyle = first < last && code >= first && code <= last ? kSelectedPaper : kPaper;
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

// After every change: the work is kept, and leaving the page asks first.
function changed() {
  dirty = true;
  keep();
}

// A change of one glyph, undone and redone as one step.
function record(code, before) {
  const after = glyphBytes(code);
  if (before.every((b, i) => b === after[i])) return;
  undoStack.push({ code, before, after });
  redoStack = [];
  changed();
}

function snapshot() {
  return { font: font().slice(), ...work };
}

function restore(snap) {
  font().set(snap.font);
  work = { name: snap.name, codePage: snap.codePage, placedBy: snap.placedBy, source: snap.source };
  $('code-page').value = String(snap.codePage);
}

// A change of the whole work (opening a file, choosing a code page) as one
// step: change() makes it, and says whether it did.
function wholeStep(change) {
  const before = snapshot();
  if (!change()) return false;
  undoStack.push({ before, after: snapshot() });
  redoStack = [];
  changed();
  redraw();
  return true;
}

// Moves the last step from one stack to the other, putting the work back
// as it was before it (undo) or after it (redo).
function replay(from, to, side) {
  const step = from.pop();
  if (!step) return;
  if ('code' in step) {
    setGlyph(step.code, step[side]);
    selected = step.code;
  } else {
    restore(step[side]);
    say((step[side].name || 'The blank font') + ' is back.');
  }
  to.push(step);
  changed();
  redraw();
}

const undo = () => replay(undoStack, redoStack, 'before');
const redo = () => replay(redoStack, undoStack, 'after');

// The codes selected, from the lowest to the highest.
function selection() {
  return [Math.min(anchor, selected), Math.max(anchor, selected)];
}

function copyGlyphs() {
  const [first, last] = selection();
  copied = font().slice(first * kGlyphBytes, (last + 1) * kGlyphBytes);
  say((last - first + 1) + ' glyph' + (last > first ? 's' : '') + ' copied, from 0x' + hex(first, 2) + '.');
}

// The glyphs copied, from the focused code on, as far as the font goes.
function pasteGlyphs() {
  if (!copied) return;
  const room = (kGlyphs - selected) * kGlyphBytes;
  wholeStep(() => {
    font().set(copied.subarray(0, room), selected * kGlyphBytes);
    return true;
  });
}

// A glyph operation, GlyphTransform's number in the core, on the codes
// selected (the glyph in the editor, when it is the only one).
function transform(number) {
  const [first, last] = selection();
  wholeStep(() => core.zyr2_transform(first, last, number) === 1);
}

async function openOther(file) {
  const source = await readSource(file);
  if (!openSource(source, Number($('other-code-page').value), kIntoOther)) {
    say(coreMessages());
    return;
  }
  other = { name: file.name };
  $('other-name').textContent = file.name;
  $('take-selected').disabled = false;
  $('take-blank').disabled = false;
  say((coreMessages().trim() + '\n' + file.name + ' is open to take glyphs from.').trim());
}

// Takes the other font's glyphs at the codes selected, or wherever the
// font is blank and the other is not, as --merge does.
function take(whereBlank) {
  if (!other) return;
  const [first, last] = selection();
  let taken = 0;
  wholeStep(() => {
    taken = core.zyr2_take(first, last, whereBlank ? 1 : 0);
    return true;
  });
  say(taken + ' glyph' + (taken === 1 ? '' : 's') + ' of ' + other.name +
      ' taken; Undo takes them back.');
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

// Focuses a code; extending, the selection runs from its anchor to it.
function choose(code, extend = false) {
  selected = (code + kGlyphs) % kGlyphs;
  if (!extend) anchor = selected;
  redraw();
}

function gridCode(event) {
  const box = $('grid').getBoundingClientRect();
  const x = (event.clientX - box.left) / box.width * $('grid').width - kGridLeft;
  const y = (event.clientY - box.top) / box.height * $('grid').height - kGridTop;
  return x >= 0 && y >= 0 && x < 16 * kGridCell && y < 16 * kGridCell
    ? Math.floor(y / kGridCell) * 16 + Math.floor(x / kGridCell) : null;
}

// A click chooses a glyph, Shift+click or a drag selects a range.
let selecting = false;
function gridPointer(event) {
  const code = gridCode(event);
  if (event.type === 'pointerdown') {
    if (code === null) return;
    selecting = true;
    $('grid').setPointerCapture(event.pointerId);
    choose(code, event.shiftKey);
  } else if (selecting && code !== null && code !== selected) {
    choose(code, true);
  }
}

function gridKey(event) {
  const moves = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -16, ArrowDown: 16 };
  if (event.key in moves) {
    choose(selected + moves[event.key], event.shiftKey);
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
    copyGlyphs();
  } else if (key === 'v' && !inText) {
    pasteGlyphs();
  } else {
    return;
  }
  event.preventDefault();
}

// --- Keeping the work ---------------------------------------------------
// The work lives in the browser's IndexedDB, which pages from file:// have
// too: one record of the font, its name, code page, undo history and
// whether it was saved; each source file once, by its id, while a step
// still needs it.

let sourcesKept = new Set();  // ids of the sources in the database
let nextSource = 0;

const asPromise = (request) => new Promise((resolve, reject) => {
  request.onsuccess = () => resolve(request.result);
  request.onerror = () => reject(request.error);
});

async function openStorage() {
  try {
    const opening = indexedDB.open('zyr2font', 1);
    opening.onupgradeneeded = () => {
      opening.result.createObjectStore('work');
      opening.result.createObjectStore('sources');
    };
    storage = await asPromise(opening);
  } catch (error) {
    storage = null;
    say('This browser does not keep the work of a page (' + error.message + '): ' +
        'save the font before you close it.');
  }
}

function newSource(source) {
  return { ...source, id: Date.now() + '-' + nextSource++ };
}

// Snapshots and steps as stored: a source by its id, name and length.
const storedSource = (source) => source && { id: source.id, name: source.name, length: source.length };
const storedSnapshot = (snap) => ({ ...snap, source: storedSource(snap.source) });
const storedStep = (step) => ('code' in step ? step
  : { before: storedSnapshot(step.before), after: storedSnapshot(step.after) });

function sourcesInUse() {
  const sources = new Map();
  const add = (snap) => snap.source && sources.set(snap.source.id, snap.source);
  add(work);
  for (const step of undoStack.concat(redoStack)) {
    if (!('code' in step)) { add(step.before); add(step.after); }
  }
  return sources;
}

function keep() {
  if (!storage) return;
  const transaction = storage.transaction(['work', 'sources'], 'readwrite');
  transaction.onerror = () => say('The browser did not keep this change (' +
    transaction.error.message + '): save the font before you close the page.');
  transaction.objectStore('work').put({
    ...storedSnapshot(snapshot()), selected, dirty,
    undo: undoStack.map(storedStep), redo: redoStack.map(storedStep),
  }, 'current');
  const inUse = sourcesInUse();
  for (const [id, source] of inUse) {
    if (!sourcesKept.has(id)) transaction.objectStore('sources').put(source.bytes, id);
  }
  for (const id of sourcesKept) {
    if (!inUse.has(id)) transaction.objectStore('sources').delete(id);
  }
  sourcesKept = new Set(inUse.keys());
}

// The work kept when the page was last open, back as it was; says so, and
// offers to start afresh.
async function bringBack() {
  if (!storage) return;
  const transaction = storage.transaction(['work', 'sources']);
  const record = await asPromise(transaction.objectStore('work').get('current'));
  const ids = await asPromise(transaction.objectStore('sources').getAllKeys());
  const bytes = await asPromise(transaction.objectStore('sources').getAll());
  if (!record || (record.undo.length === 0 && record.font.every((b) => b === 0))) return;
  const sources = new Map(ids.map((id, i) => [id, bytes[i]]));
  const source = (stored) => stored && sources.has(stored.id) ? { ...stored, bytes: sources.get(stored.id) } : null;
  // One object a source, as the steps shared it.
  const revived = new Map();
  const revive = (snap) => {
    const id = snap.source && snap.source.id;
    if (id && !revived.has(id)) revived.set(id, source(snap.source));
    return { ...snap, source: id ? revived.get(id) : null };
  };
  const reviveStep = (step) => ('code' in step ? step : { before: revive(step.before), after: revive(step.after) });
  restore(revive(record));
  undoStack = record.undo.map(reviveStep);
  redoStack = record.redo.map(reviveStep);
  selected = record.selected;
  dirty = record.dirty;
  sourcesKept = new Set(ids);
  say('Your work' + (work.name ? ' on ' + work.name : '') + ' is back, as you left it.');
  $('start-afresh').hidden = false;
}

// A blank font, as a step that Undo takes back.
function startAfresh() {
  wholeStep(() => {
    font().fill(0);
    work = { name: '', codePage: 0, placedBy: 0, source: null };
    return true;
  });
  dirty = false;
  keep();
  $('start-afresh').hidden = true;
  say('The page starts afresh with a blank font; Undo brings your work back.');
}

// --- Opening, saving ----------------------------------------------------

async function openFile(file) {
  const source = await readSource(file);
  const hadFont = font().some((b) => b !== 0);
  const opened = wholeStep(() => {
    if (!openSource(source, work.codePage, kIntoFont)) return false;
    work = { ...work, name: file.name, placedBy: core.zyr2_placed_by(), source: newSource(source) };
    return true;
  });
  const said = coreMessages().trim();
  if (!opened) {
    say(said);
    return;
  }
  const what = isGameFile(file.name) ? file.name + "'s own font" : file.name;
  say((hadFont ? what + ' is open in place of yours; Undo brings yours back.' : what + ' is open.') +
      (said ? '\n' + said : ''));
}

// A code page chosen: the preview maps text through it, and the font open
// is placed again by it, when its glyphs are placed by one.
function chooseCodePage() {
  const codePage = Number($('code-page').value);
  const { source, placedBy } = work;
  let placed = false;
  wholeStep(() => {
    work = { ...work, codePage };
    if (source && openSource(source, codePage, kIntoOutput) &&
        (placedBy !== 0 || core.zyr2_placed_by() !== 0)) {
      font().set(coreOutput());
      work.placedBy = core.zyr2_placed_by();
      placed = true;
    }
    return true;
  });
  const said = source ? coreMessages().trim() : '';
  say((placed ? work.name + ' is placed again, by code page ' + work.placedBy +
                '; Undo brings back the font as it was.'
              : 'The preview maps text through code page ' + (codePage || 437) + '.') +
      (said ? '\n' + said : ''));
}

function save() {
  let name = $('save-name').value.trim() || 'ZYR2';
  const extension = $('save-format').value;
  if (!name.toLowerCase().endsWith(extension)) name = name.replace(/\.[^.]*$/, '') + extension;
  const bytes = fontFile(extension);
  if (bytes) {
    download(name, bytes);
    dirty = false;
    keep();
    say(name + ' is saved (' + bytes.length + ' bytes) where your browser puts downloads.');
  }
}

// --- The game -----------------------------------------------------------

// The game's files among the files given, read as the core takes them.
async function gameFiles(entries) {
  const files = [];
  for (const { name, handle, file } of entries) {
    if (!isGameFile(name)) continue;
    files.push({ handle, ...await readSource(file || await handle.getFile()), name });
  }
  return files;
}

async function chooseGame(folder, entries) {
  const files = await gameFiles(entries);
  // The game's own font, from the first file that holds one.
  const original = files.find((f) => openSource(f, 0, kIntoOutput));
  game = { folder, files, originalFont: original ? coreOutput() : null };
  $('original').hidden = !original;
  $('patch').hidden = files.length === 0;
  if (files.length === 0) {
    say('None of ZYR2.DOS, ZYR2.EXE or BRANVEL.EXE is among the files chosen.');
    return;
  }
  say('Found: ' + files.map((f) => f.name + ' (' + f.length + ' bytes)').join(', ') + '.' +
      (original ? '' : '\n' + coreMessages()));
}

// What to do where the page cannot open the game folder.
const kDropInstead = 'Drop or choose the three game files here instead (ZYR2.DOS, ZYR2.EXE and ' +
  'BRANVEL.EXE): each comes back patched as a download. Then copy the downloads into the game ' +
  'folder, in place of the old files; for a game under Program Files, Windows may ask an ' +
  'administrator to confirm.';
const kProtectedFolders = 'Browsers do not let pages open folders under Program Files or Windows, ' +
  'nor in AppData, where Steam and GOG Galaxy install games.';

async function pickFolder() {
  if (typeof window.showDirectoryPicker !== 'function') {
    say('This browser does not let pages open folders at all. ' + kDropInstead);
    $('game-files').focus();
    return;
  }
  let folder;
  try {
    folder = await window.showDirectoryPicker({ mode: 'readwrite' });
  } catch (error) {
    say((error.name === 'AbortError' ? 'No folder was opened. '
      : 'The browser did not open the folder here (' + error.message + '). ') +
        kProtectedFolders + ' ' + kDropInstead);
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

function holdsFont(file, offset) {
  const held = file.bytes.subarray(offset, offset + kFontSize);
  return held.length === kFontSize && held.every((b, i) => b === font()[i]);
}

// Puts the font into one game file, at the offset the core wrote it: in
// the folder, or as a download. Says what became of it.
async function patchFile(file, offset) {
  if (holdsFont(file, offset)) return file.name + ' already holds this font.';
  const patched = file.bytes.slice();
  patched.set(font(), offset);
  if (!game.folder) {
    download(file.name, patched);
    return file.name + ' is patched: it was saved where your browser puts downloads. ' +
           'Put it in the game folder, in place of the old one.';
  }
  try {
    await writeInPlace(file.handle, offset);
    file.bytes = patched;
    return file.name + ' is patched in the game folder.';
  } catch (error) {
    return file.name + ' could not be written (' + error.message + '); it is as it was.';
  }
}

async function patch() {
  if (!game) return;
  core.zyr2_clear_game();
  for (const file of game.files) {
    const nameBytes = utf8(file.name);
    handIn(file);
    withBytes([nameBytes], (nameAt) => core.zyr2_add_game_file(nameAt, nameBytes.length, file.length));
  }
  core.zyr2_patch();
  const lines = [];
  const said = coreMessages().trim();
  if (said) lines.push(said);
  for (const [i, file] of game.files.entries()) {
    const offset = core.zyr2_patched_offset(i);
    if (offset >= 0) lines.push(await patchFile(file, offset));
  }
  if (lines.some((line) => / is patched/.test(line))) {
    dirty = false;
    keep();
  }
  say(lines.join('\n'));
}

// --- Attaching ----------------------------------------------------------

async function attach(file) {
  const source = await readSource(file);
  const nameBytes = utf8(file.name);
  handIn(source);
  const attached = withBytes([nameBytes], (nameAt) =>
    core.zyr2_attach(nameAt, nameBytes.length, source.length) === 1);
  if (!attached) {
    say(coreMessages());
    return;
  }
  download(file.name, coreOutput());
  say(file.name + ' now carries the font: it was saved where your browser puts downloads.');
}

// --- Start --------------------------------------------------------------

function fillCodePages() {
  const numbersAt = core.zyr2_code_pages();
  const text = new TextDecoder().decode(memory().slice(numbersAt, numbersAt + core.zyr2_code_pages_length()));
  for (const select of [$('code-page'), $('other-code-page')]) {
    for (const number of text.match(/\d+/g)) select.add(new Option(number, number));
  }
}

// The files picked in a file field, which is then emptied: the same file
// can be picked again.
function picked(event) {
  const files = Array.from(event.target.files);
  event.target.value = '';
  return files;
}

function listen() {
  $('open-file').addEventListener('change', (e) => picked(e).slice(0, 1).forEach(openFile));
  $('code-page').addEventListener('change', chooseCodePage);
  $('start-afresh').addEventListener('click', startAfresh);
  $('grid').addEventListener('pointerdown', gridPointer);
  $('grid').addEventListener('pointermove', gridPointer);
  $('grid').addEventListener('pointerup', () => { selecting = false; });
  $('grid').addEventListener('pointercancel', () => { selecting = false; });
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
  $('copy').addEventListener('click', copyGlyphs);
  $('paste').addEventListener('click', pasteGlyphs);
  for (const button of document.querySelectorAll('button[data-transform]'))
    button.addEventListener('click', () => transform(Number(button.dataset.transform)));
  $('other-file').addEventListener('change', (e) => picked(e).slice(0, 1).forEach(openOther));
  $('take-selected').addEventListener('click', () => take(false));
  $('take-blank').addEventListener('click', () => take(true));
  $('preview-text').addEventListener('input', drawPreviews);
  $('save').addEventListener('click', save);
  $('pick-folder').addEventListener('click', pickFolder);
  $('game-files').addEventListener('change', (e) =>
    chooseGame(null, picked(e).map((file) => ({ name: file.name, file }))));
  $('save-original').addEventListener('click', saveOriginal);
  $('patch').addEventListener('click', patch);
  $('attach-program').addEventListener('change', (e) => picked(e).slice(0, 1).forEach(attach));
  document.addEventListener('keydown', shortcut);
  // Leaving with changes neither saved nor patched asks first; the work is
  // kept all the same.
  window.addEventListener('beforeunload', (event) => {
    if (!dirty) return;
    event.preventDefault();
    event.returnValue = '';
  });
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

loadCore().then(async (exports) => {
  core = exports;
  fillCodePages();
  await openStorage();
  await bringBack();
  listen();
  redraw();
  document.body.dataset.ready = 'yes';
}, (error) => say('The page could not start its core: ' + error.message));
