// Editing: choosing glyphs in the grid, drawing in the editor, and the
// operations on the glyphs selected (the core's transforms, copy and
// paste, taking glyphs from the other font, undo and redo). Each edit is
// one step of the history, kept once the action is done (act()): each
// action here runs within act(), which draws the page once it is done.
'use strict';

// Says something to a screen reader alone, through a live region.
function announce(text) {
  state.announcement = { text, serial: (state.announcement ? state.announcement.serial : 0) + 1 };
}

// The codes an edit acts on, as they are said: "glyph 0x41", "0x80 to 0xAF".
const codesSaid = (first, last) => (first === last ? 'glyph 0x' + hex(first, 2)
  : '0x' + hex(first, 2) + ' to 0x' + hex(last, 2));
const sentence = (words) => words.charAt(0).toUpperCase() + words.slice(1) + '.';

// --- The grid -------------------------------------------------------------

// What the glyph operations act on, as it is said: "glyph 0x41", "0x80
// to 0xAF", "the rectangle 0xC9 to 0xDB, 3 across,".
function selectionSaid() {
  const [first, last] = selection();
  const rectangle = selectedRectangle();
  return rectangle ? 'the rectangle ' + codesSaid(first, last) + ', ' + rectangle.width + ' across,' : codesSaid(first, last);
}

// Focuses a code; extending, the selection runs from its anchor to it (a
// drag marks the rectangle between them).
function choose(code, extend = false) {
  state.selected = code;
  state.rectangle = null;
  if (!extend) state.anchor = state.selected;
  const [first, last] = selection();
  if (extend) announce(first < last ? selectedSaid() : 'One glyph selected');
}

function gridCode(event) {
  const box = $('grid').getBoundingClientRect();
  const x = (event.clientX - box.left) / box.width * kGridWidth - kGridLeft;
  const y = (event.clientY - box.top) / box.height * kGridHeight - kGridTop;
  return x >= 0 && y >= 0 && x < 16 * kGridCell && y < 16 * kGridCell
    ? Math.floor(y / kGridCell) * 16 + Math.floor(x / kGridCell) : null;
}

// A click chooses a glyph, Shift+click or a drag selects a range.
function gridPointer(event) {
  const code = gridCode(event);
  if (event.type === 'pointerdown') {
    if (code === null) return;
    state.selecting = event.shiftKey ? 'range' : 'rectangle';
    $('grid').setPointerCapture(event.pointerId);
    choose(code, event.shiftKey);
  } else if (state.selecting && code !== null && code !== state.selected) {
    choose(code, true);
  }
}

// A drag over more than one row of the grid leaves a rectangle of cells
// selected: a block, its width the rectangle's.
function endGridDrag() {
  const rectangle = selectedRectangle();
  state.selecting = false;
  state.rectangle = rectangle && { anchor: state.anchor, selected: state.selected };
  if (rectangle) state.block.width = rectangle.width;
}

// The arrow keys stop at the ends of the grid, 0x00 and 0xFF, and at its
// sides going up or down: a range never runs round from 0xFF to 0x00.
function gridKey(event) {
  const moves = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -16, ArrowDown: 16 };
  if (event.key in moves) {
    const code = state.selected + moves[event.key];
    if (code >= 0 && code < kGlyphs) act('edit', () => choose(code, event.shiftKey));
  } else if (event.key === 'Enter') {
    $('pixels').focus();
  } else {
    return;
  }
  event.preventDefault();
}

// --- The editor -----------------------------------------------------------

function withPixel(font, code, row, column, ink) {
  const changed = font.slice();
  const bit = 0x80 >> column;
  const at = code * kGlyphBytes + row;
  changed[at] = ink ? changed[at] | bit : changed[at] & ~bit;
  return changed;
}

function editorPixel(event) {
  const box = $('editor').getBoundingClientRect();
  const column = Math.floor((event.clientX - box.left) / box.width * 8);
  const row = Math.floor((event.clientY - box.top) / box.height * 8);
  return row >= 0 && row < 8 && column >= 0 && column < 8 ? [row, column] : null;
}

// A stroke draws ink when it begins on paper, and paper when on ink; it is
// drawn as it goes, and is one step when it ends.
function startStroke(event) {
  const pixel = editorPixel(event);
  if (!pixel) return;
  $('editor').setPointerCapture(event.pointerId);
  state.stroke = { before: state.font, ink: !isInk(state.font, state.selected, ...pixel) };
  state.cursor = pixel;
  state.font = withPixel(state.font, state.selected, ...pixel, state.stroke.ink);
}

function continueStroke(event) {
  const pixel = state.stroke && editorPixel(event);
  if (!pixel || isInk(state.font, state.selected, ...pixel) === state.stroke.ink) return;
  state.font = withPixel(state.font, state.selected, ...pixel, state.stroke.ink);
}

function endStroke() {
  if (!state.stroke) return;
  const drawn = state.font;
  state.font = state.stroke.before;
  state.stroke = null;
  if (changeFont(drawn, codesSaid(state.selected, state.selected) + ' drawn')) workChanged();
}

function editorKey(event) {
  const moves = { ArrowLeft: [0, -1], ArrowRight: [0, 1], ArrowUp: [-1, 0], ArrowDown: [1, 0] };
  const [row, column] = state.cursor;
  if (event.key in moves) {
    act('edit', () => { state.cursor = [(row + moves[event.key][0] + 8) % 8, (column + moves[event.key][1] + 8) % 8]; });
  } else if (event.key === ' ' || event.key === 'Enter') {
    act('edit', () => setPixel(row, column));
  } else if (event.key === 'Escape') {
    $('glyphs').focus();
  } else {
    return;
  }
  event.preventDefault();
}

// The pixel under the editor's cursor turned to ink or paper.
function setPixel(row, column) {
  const ink = !isInk(state.font, state.selected, row, column);
  changeFont(withPixel(state.font, state.selected, row, column, ink), 'row ' + (row + 1) + ', column ' +
             (column + 1) + ' of ' + codesSaid(state.selected, state.selected) + ' set to ' + (ink ? 'ink' : 'paper'));
  announce(ink ? 'ink' : 'paper');
  workChanged();
}

// --- Operations on the glyphs selected --------------------------------------

// What a step of glyphs did, as it is said; a step kept by an earlier
// page says nothing of itself.
function stepSaid(step) {
  if (step.said) return step.said;
  const [first, last] = [step.codes[0], step.codes[step.codes.length - 1]];
  return 'a change to ' + (step.codes.length === 1 ? codesSaid(first, last)
    : plural(step.codes.length, 'glyph') + ' from 0x' + hex(first, 2) + ' to 0x' + hex(last, 2));
}

// Undoes or redoes a step, and says which: a step of glyphs to a screen
// reader, the work brought back to all.
function undoOrRedo(undoing) {
  const step = replay(undoing);
  if (!step) {
    announce(undoing ? 'Nothing to undo.' : 'Nothing to redo.');
    return;
  }
  if (step.kind === 'work') say('edit', (state.name || 'The blank font') + ' is back.');
  else announce((undoing ? 'Undone: ' : 'Redone: ') + stepSaid(step) + '.');
  workChanged();
}

const undo = () => undoOrRedo(true);
const redo = () => undoOrRedo(false);

// The glyphs selected, one after the other (a rectangle's in reading
// order).
function copyGlyphs() {
  const codes = selectedCodes();
  state.copied = new Uint8Array(codes.length * kGlyphBytes);
  codes.forEach((code, i) => state.copied.set(state.font.subarray(code * kGlyphBytes, (code + 1) * kGlyphBytes), i * kGlyphBytes));
  say('edit', plural(codes.length, 'glyph') + ' copied, from 0x' + hex(codes[0], 2) + '.');
}

// The glyphs copied, from the focused code on, as far as the font goes.
function pasteGlyphs() {
  if (!state.copied) return;
  const font = state.font.slice();
  font.set(state.copied.subarray(0, (kGlyphs - state.selected) * kGlyphBytes), state.selected * kGlyphBytes);
  const count = Math.min(state.copied.length / kGlyphBytes, kGlyphs - state.selected);
  const codes = codesSaid(state.selected, state.selected + count - 1);
  if (changeFont(font, codes + ' pasted')) {
    say('edit', plural(count, 'glyph') + ' pasted, from 0x' + hex(state.selected, 2) + '; Undo takes them back.');
    workChanged();
  } else {
    say('edit', sentence('nothing changed: ' + codes + ' already ' + (count === 1 ? 'holds the glyph' : 'hold the glyphs') +
                         ' copied'));
  }
}

// A glyph transform of the core's, {number, done} as it lists them, on
// the codes selected (the glyph in the editor, when it is the only one),
// said to a screen reader as it is done ("Glyph 0x41 cleared.") and when
// it is undone or redone; or that it changed nothing.
function transform({ number, done }) {
  let font = state.font;
  for (const [first, last] of selectedRuns()) {
    font = Core.transform(font, first, last, number);
    if (!font) return;
  }
  const said = selectionSaid() + ' ' + done;
  if (changeFont(font, said)) {
    announce(sentence(said));
    workChanged();
  } else {
    announce(sentence('nothing changed in ' + selectionSaid().replace(/,$/, '')));
  }
}

// Takes the other font's glyphs at the codes selected, or wherever the
// font is blank and the other is not, as --merge does.
function take(whereBlank) {
  if (!state.other) return;
  const [first, last] = selection();
  let font = state.font;
  let taken = 0;
  for (const run of selectedRuns()) {
    const took = Core.take(font, state.other.font, ...run, whereBlank);
    font = took.font;
    taken += took.taken;
  }
  const name = state.other.name;
  if (changeFont(font, (whereBlank ? 'the codes where the font was blank' : selectionSaid().replace(/,$/, '')) + ' taken from ' + name)) {
    say('other', plural(taken, 'glyph') + ' of ' + name + ' taken; Undo takes them back.');
    workChanged();
  } else {
    say('other', whereBlank ? 'Nothing changed: ' + name + ' has no glyph where this font is blank.'
      : sentence('nothing changed: ' + codesSaid(first, last) + ' already ' + (first === last ? 'holds its glyph' : 'hold the glyphs') +
                 ' in ' + name));
  }
}

function shortcut(event) {
  if (!(event.ctrlKey || event.metaKey)) return;
  const inText = event.target.matches('input[type=text], textarea');
  const key = event.key.toLowerCase();
  if (key === 'z' && !inText) {
    act('edit', event.shiftKey ? redo : undo);
  } else if (key === 'y' && !inText) {
    act('edit', redo);
  } else if (key === 'c' && !inText && !window.getSelection().toString()) {
    act('edit', copyGlyphs);
  } else if (key === 'v' && !inText) {
    act('edit', pasteGlyphs);
  } else {
    return;
  }
  event.preventDefault();
}
