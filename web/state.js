// The page's one state, and its history. Everything the page shows is
// drawn from `state` by render(); every change of the work goes through
// the steps here, so that Undo takes back exactly what was done and the
// keeping (storage.js) writes exactly what changed.
'use strict';

const kGlyphs = 256;
const kGlyphBytes = 8;
// Undo goes back this many steps at most, no further than this many
// bytes of steps reach, and keeps no more than this many bytes of files
// that only its steps need (the files opened before the one open now):
// beyond any of them the oldest steps are let go, and the files only
// they kept. The last step is kept whatever it holds.
const kHistorySteps = 1000;
const kHistoryBytes = 2 * 1024 * 1024;
const kHistorySourceBytes = 8 * 1024 * 1024;
const kHistoryLetGo = 'Undo goes back 1,000 steps at most: the oldest steps are let go.';
const kHistorySourcesLetGo = 'Undo keeps 8 MiB of the files opened before at most: ' +
  'the oldest steps are let go, and the files only they kept.';

const state = {
  // The work: the font, the file it came from (its name, and its bytes to
  // place it again: {key, name, length, bytes}), the code page chosen (0:
  // as the font says) and the one that placed its glyphs (0: none).
  font: new Uint8Array(kFontSize),
  name: '',
  source: null,
  codePage: 0,
  placedBy: 0,
  // The font glyphs are taken from, {font, name, source, placedBy}, or
  // null; and the code page chosen for it.
  other: null,
  otherCodePage: 0,
  // The glyph focused (the one edited), the selection's other end, and the
  // editor's keyboard cursor: [row, column].
  selected: 0x41,
  anchor: 0x41,
  cursor: [0, 0],
  // The steps, each {n, kind, ...}; `at` of them are done, the rest can
  // be redone. `next` numbers the next step. letGo: why steps were last
  // let go (kHistoryLetGo or kHistorySourcesLetGo), '' while none was.
  history: { steps: [], at: 0, next: 1, letGo: '' },
  // A code page chosen that would place the font again over glyphs edited
  // since it was opened, until the user answers: {codePage, named}, or null.
  asking: null,
  // A code page list moved through with the keys, closed: {id, value},
  // the list's id and the code page it shows, chosen once the user leaves
  // it or presses Enter; or null.
  choosing: null,
  copied: null,         // glyphs copied, one after the other
  dirty: false,         // changes neither saved nor patched
  // The work changed by the action under way, to be kept once it is done
  // (page.js); and why Undo let go of steps, each said once.
  workChanged: false,
  letGoSaid: [],
  acting: 0,  // actions under way (act()), which draw the page once done
  // A drag selecting codes in the grid under way: 'range' begun with
  // Shift, from the anchor; 'rectangle' otherwise, its corners the code
  // it began at and the one under the pointer; or false. The rectangle a
  // drag left selected, {anchor, selected}: it holds while they are the
  // selection's ends; or null.
  selecting: false,
  rectangle: null,
  // A stroke drawn in the editor under way, {before, ink}: the font before
  // it, and what it draws.
  stroke: null,
  // A block of glyphs as one picture (block.js): whether the editor shows
  // it, the codes it was given then (an Undo, which chooses the glyph it
  // changes, leaves them), its glyphs across as typed, the keyboard's
  // cursor in its picture, [row, column], and a stroke drawn in it under
  // way, {block, ink, picture}: the block, what it draws and the picture
  // drawn so far; or null.
  block: { on: false, codes: [], width: 3, cursor: [0, 0], stroke: null },
  previewText: 'ZYR 2 - the font as the game draws it',
  // The translation checked (check.js): the text files given, each {name,
  // length, bytes}, the text pasted, the code page chosen for them (0: the
  // work's), and the core's answer for them (see Core.check) with the code
  // page it was checked in and the texts' names, or null. Not kept: the
  // texts are the user's files.
  check: { files: [], pasted: '', codePage: 0, result: null },
  // The game files chosen: {folder, files: [{name, length, bytes, handle}],
  // originalFont, downloads}, or null; downloads, the files the last patch
  // hands back to download, {font, files: [{name, bytes}]}, or null.
  game: null,
  // The last answer to the user: the part of the page it belongs to, and
  // a serial that tells a new answer from the one before.
  answer: { part: '', text: '', serial: 0 },
  // What a screen reader alone is told: {text, serial}.
  announcement: null,
  // How the work is kept: see storage.js.
  keeping: { status: 'starting', why: '', note: '', news: '', others: [], known: false },
};

// Says something in a part of the page, as text: line breaks kept, no
// other control character.
function say(part, text) {
  const clean = text.replace(/\r\n/g, '\n').replace(/[\u0000-\u0009\u000b-\u001f\u007f]/g, '').trim();
  state.answer = { part, text: clean, serial: state.answer.serial + 1 };
}

// The value a code page list shows: the one moved to with the keys, not
// yet chosen, or the one chosen.
function listShows(id, chosen) {
  return String(state.choosing && state.choosing.id === id ? state.choosing.value : chosen);
}

// The codes selected, from the lowest to the highest.
function selection() {
  return [Math.min(state.anchor, state.selected), Math.max(state.anchor, state.selected)];
}

// The cells of the grid selected as a rectangle, {codes, width}, its
// corners the selection's ends: while a drag marks it, and after, while
// the selection it left holds; null for a range. The grid is 16 across,
// so a rectangle within one of its rows is a range.
function selectedRectangle() {
  const { anchor, selected, rectangle } = state;
  const marked = state.selecting === 'rectangle' ||
    (rectangle !== null && rectangle.anchor === anchor && rectangle.selected === selected);
  if (!marked || anchor >> 4 === selected >> 4) return null;
  const [top, bottom] = [Math.min(anchor >> 4, selected >> 4), Math.max(anchor >> 4, selected >> 4)];
  const [left, right] = [Math.min(anchor & 15, selected & 15), Math.max(anchor & 15, selected & 15)];
  const codes = [];
  for (let row = top; row <= bottom; row++) {
    for (let column = left; column <= right; column++) codes.push(row * 16 + column);
  }
  return { codes, width: right - left + 1 };
}

// The codes selected, in reading order: the rectangle, or the range.
function selectedCodes() {
  const rectangle = selectedRectangle();
  if (rectangle) return rectangle.codes;
  const [first, last] = selection();
  return Array.from({ length: last - first + 1 }, (_, i) => first + i);
}

// The runs of codes selected, each [first, last]: the rectangle's rows,
// or the range.
function selectedRuns() {
  const rectangle = selectedRectangle();
  if (!rectangle) return [selection()];
  const { codes, width } = rectangle;
  const runs = [];
  for (let i = 0; i < codes.length; i += width) runs.push([codes[i], codes[i + width - 1]]);
  return runs;
}

function isInk(font, code, row, column) {
  return (font[code * kGlyphBytes + row] >> (7 - column) & 1) === 1;
}

const sameBytes = (a, b) => a.length === b.length && a.every((byte, i) => byte === b[i]);

function isBlank(font, code) {
  return font.subarray(code * kGlyphBytes, (code + 1) * kGlyphBytes).every((b) => b === 0);
}

// --- Steps --------------------------------------------------------------
// A step of glyphs, {kind: 'glyphs', codes, before, after, said}, holds
// the glyphs it changed, eight bytes a code, and what it did, as the page
// says it ("glyph 0x41 cleared"); a step of the work, {kind: 'work',
// before, after}, holds the whole work on either side of it: opening a
// file, choosing a code page, starting afresh.

function workNow() {
  const { font, name, source, codePage, placedBy } = state;
  return { font: font.slice(), name, source, codePage, placedBy };
}

function glyphsStep(before, after) {
  const codes = [];
  for (let code = 0; code < kGlyphs; code++) {
    const at = code * kGlyphBytes;
    for (let i = at; i < at + kGlyphBytes; i++) {
      if (before[i] !== after[i]) {
        codes.push(code);
        break;
      }
    }
  }
  if (codes.length === 0) return null;
  const glyphs = (font) => {
    const bytes = new Uint8Array(codes.length * kGlyphBytes);
    codes.forEach((code, i) => bytes.set(font.subarray(code * kGlyphBytes, (code + 1) * kGlyphBytes), i * kGlyphBytes));
    return bytes;
  };
  return { kind: 'glyphs', codes, before: glyphs(before), after: glyphs(after) };
}

const stepBytes = (step) => (step.kind === 'glyphs' ? step.before.length * 2 : kFontSize * 2) + 64;

// Lets the oldest steps go while there are too many, they hold too much,
// or the files only they keep are too long.
function trimHistory() {
  const history = state.history;
  let bytes = history.steps.reduce((sum, step) => sum + stepBytes(step), 0);
  for (;;) {
    const why = history.steps.length <= 1 ? ''
      : history.steps.length > kHistorySteps || bytes > kHistoryBytes ? kHistoryLetGo
        : sourceBytesOfHistory() > kHistorySourceBytes ? kHistorySourcesLetGo : '';
    if (why === '') return;
    bytes -= stepBytes(history.steps.shift());
    history.at = Math.max(0, history.at - 1);
    history.letGo = why;
  }
}

// The bytes of the files the steps keep that the work open does not.
function sourceBytesOfHistory() {
  const inUse = sourcesInUse();
  inUse.delete(state.source && state.source.key);
  if (state.other && state.other.source) inUse.delete(state.other.source.key);
  let bytes = 0;
  for (const source of inUse.values()) bytes += source.bytes ? source.bytes.length : source.length;
  return bytes;
}

// Makes a step the last one done; the steps undone are gone.
function addStep(step) {
  const history = state.history;
  history.steps.splice(history.at);
  history.steps.push({ ...step, n: history.next++ });
  history.at = history.steps.length;
  trimHistory();
  state.dirty = true;
  state.asking = null;
}

// The font as it is to be, as one step of glyphs that did what is said;
// false when it is the same as it was.
function changeFont(font, said) {
  const step = glyphsStep(state.font, font);
  if (!step) return false;
  state.font = font;
  addStep({ ...step, said });
  return true;
}

// Changes the work as change() does, as one step: change() says whether
// it did anything.
function changeWork(change) {
  const before = workNow();
  if (!change()) return false;
  addStep({ kind: 'work', before, after: workNow() });
  return true;
}

function putWork(work) {
  Object.assign(state, { ...work, font: work.font.slice() });
}

function putGlyphs(codes, bytes) {
  codes.forEach((code, i) => state.font.set(bytes.subarray(i * kGlyphBytes, (i + 1) * kGlyphBytes), code * kGlyphBytes));
}

// Undoes the last step done, or redoes the first undone; returns it, or
// null when there is none.
function replay(undoing) {
  const history = state.history;
  const step = undoing ? history.steps[history.at - 1] : history.steps[history.at];
  if (!step) return null;
  const side = undoing ? step.before : step.after;
  if (step.kind === 'glyphs') {
    putGlyphs(step.codes, side);
    state.selected = state.anchor = step.codes[0];
  } else {
    putWork(side);
  }
  history.at += undoing ? -1 : 1;
  state.dirty = true;
  state.asking = null;
  return step;
}

// The sources the work and its history hold: their bytes are kept once
// each, by their key.
function sourcesInUse() {
  const sources = new Map();
  const add = (source) => source && sources.set(source.key, source);
  add(state.source);
  if (state.other) add(state.other.source);
  for (const step of state.history.steps) {
    if (step.kind === 'work') {
      add(step.before.source);
      add(step.after.source);
    }
  }
  return sources;
}
