// Drawing: the canvases of the grid, the editor and the previews, and the
// cells laid over them that tell a screen reader what they show, for
// render.js to call; and the small helpers that name codes and counts, for
// every script after it.
'use strict';

// The grid: each glyph pixel 3x3 canvas pixels, a line between glyphs, the
// codes down the side and across the top.
const kGridScale = 3;
const kGridCell = kGlyphBytes * kGridScale + 1;
const kGridLeft = 34;
const kGridTop = 16;
const kGridWidth = kGridLeft + 16 * kGridCell + 1;
const kGridHeight = kGridTop + 16 * kGridCell + 1;
// The editor: each pixel 32x32 with a line between.
const kEditorCell = 32;
const kEditorSize = 8 * kEditorCell + 1;
const kInk = '#1d1d1b';
const kPaper = '#ffffff';
const kSelectedPaper = '#ffdca0';
const kFocus = '#e08a00';
const kGameInk = '#e0e0e0';
const kGameScreen = '#101010';

const $ = (id) => document.getElementById(id);

function hex(value, digits) {
  return value.toString(16).toUpperCase().padStart(digits, '0');
}

// "3,412"
const grouped = (count) => count.toLocaleString('en-US');
const plural = (count, word) => grouped(count) + ' ' + word + (count === 1 ? '' : 's');

// The code page text is shown and read through: the one chosen, else the
// one the font's file tells (fonts.js), else 437.
function shownCodePage() {
  const own = state.codePage === 0 ? ownOf(state.source) : null;
  return state.codePage || (own && own.codePage) || 437;
}

// A code as a screen reader says it: its number and, in the code page
// chosen, its character. Worked out once a code page.
const codeNames = new Map();
function codeName(code) {
  const codePage = shownCodePage();
  if (!codeNames.has(codePage)) {
    codeNames.set(codePage, Array.from({ length: kGlyphs }, (_, i) => {
      const character = Core.characterOf(codePage, i);
      const said = character === '' ? 'no character'
        : character === ' ' ? 'space'
          : /[\p{C}\p{Z}]/u.test(character) ? 'U+' + hex(character.codePointAt(0), 4) : character;
      return '0x' + hex(i, 2) + ', ' + said;
    }));
  }
  return codeNames.get(codePage)[code];
}

// --- The accessible cells over the canvases ------------------------------

// Rows of cells laid over a canvas, one per glyph or pixel, for a screen
// reader: the canvas is drawn, the cells are what is told.
function buildCells(container, rows, prefix) {
  for (let row = 0; row < rows; row++) {
    const line = document.createElement('div');
    line.setAttribute('role', 'row');
    for (let column = 0; column < rows; column++) {
      const cell = document.createElement('div');
      cell.setAttribute('role', 'gridcell');
      cell.id = prefix + (row * rows + column);
      line.appendChild(cell);
    }
    container.appendChild(line);
  }
}

function setAttribute(element, name, value) {
  if (element.getAttribute(name) !== value) element.setAttribute(name, value);
}

// --- The grid -------------------------------------------------------------

// A cell of the grid is a touch target: at least this many CSS pixels.
const kTouchTarget = 24;

// The grid's size on the screen: each of its canvas pixels a whole number
// of screen pixels, so that every font pixel is too, and each cell at
// least a touch target. It is never shrunk to fit: it scrolls instead.
function sizeGrid(canvas) {
  const ratio = window.devicePixelRatio || 1;
  const times = Math.max(1, Math.ceil(kTouchTarget * ratio / kGridCell));
  const width = kGridWidth * times / ratio + 'px';
  if (canvas.style.width === width) return;
  canvas.style.width = width;
  canvas.style.height = kGridHeight * times / ratio + 'px';
}

// The ground of a canvas with codes down its side and across its top, and
// the lettering of its codes, for them to be drawn next.
function paintLabelled(g, width, height) {
  g.fillStyle = '#f6f5f2';
  g.fillRect(0, 0, width, height);
  g.fillStyle = '#555';
  g.font = '11px monospace';
  g.textBaseline = 'middle';
}

// marks: the check's (checkMarks()), or null.
// chosen: the codes selected, a Set.
function drawGrid(font, chosen, selected, marks) {
  const canvas = $('grid');
  if (canvas.width !== kGridWidth) {
    canvas.width = kGridWidth;
    canvas.height = kGridHeight;
    Object.assign(canvas.dataset, { left: kGridLeft + 1, top: kGridTop + 1, cell: kGridCell, scale: kGridScale });
  }
  sizeGrid(canvas);
  const g = canvas.getContext('2d');
  paintLabelled(g, kGridWidth, kGridHeight);
  for (let i = 0; i < 16; i++) {
    g.fillText('0x' + hex(i * 16, 2), 0, kGridTop + i * kGridCell + kGridCell / 2);
    g.fillText(hex(i, 1), kGridLeft + i * kGridCell + kGridCell / 2 - 3, kGridTop / 2);
  }
  g.fillStyle = '#bbb';
  g.fillRect(kGridLeft, kGridTop, 16 * kGridCell + 1, 16 * kGridCell + 1);
  for (let code = 0; code < kGlyphs; code++) {
    const x = kGridLeft + (code % 16) * kGridCell + 1;
    const y = kGridTop + Math.floor(code / 16) * kGridCell + 1;
    const mark = marks && markOf(code, marks);
    g.fillStyle = chosen.size > 1 && chosen.has(code) ? kSelectedPaper : mark ? mark.paper : kPaper;
    g.fillRect(x, y, kGridCell - 1, kGridCell - 1);
    if (mark && mark.frame) {
      g.strokeStyle = mark.frame;
      g.lineWidth = 2;
      g.strokeRect(x + 1, y + 1, kGridCell - 3, kGridCell - 3);
    }
    g.fillStyle = kInk;
    for (let row = 0; row < 8; row++) {
      for (let column = 0; column < 8; column++) {
        if (isInk(font, code, row, column)) g.fillRect(x + column * kGridScale, y + row * kGridScale, kGridScale, kGridScale);
      }
    }
  }
  g.strokeStyle = kFocus;
  g.lineWidth = 2;
  g.strokeRect(kGridLeft + (selected % 16) * kGridCell, kGridTop + Math.floor(selected / 16) * kGridCell,
               kGridCell + 1, kGridCell + 1);
}

// "0x8F, Я, blank, used 3 times"
function describeGrid(chosen, marks) {
  const cells = $('glyph-cells');
  for (let code = 0; code < kGlyphs; code++) {
    const cell = cells.children[code >> 4].children[code & 15];
    const used = marks && marks.uses[code] > 0 ? ', used ' + plural(marks.uses[code], 'time') : '';
    setAttribute(cell, 'aria-label', codeName(code) + (isBlank(state.font, code) ? ', blank' : '') + used);
    setAttribute(cell, 'aria-selected', String(chosen.has(code)));
  }
  setAttribute($('glyphs'), 'aria-activedescendant', 'glyph-' + state.selected);
}

// "0x30 to 0x41 selected, 18 glyphs"; "0xC9 to 0xDB selected, 6 glyphs
// in a rectangle 3 across".
function selectedSaid() {
  const [first, last] = selection();
  const rectangle = selectedRectangle();
  return '0x' + hex(first, 2) + ' to 0x' + hex(last, 2) + ' selected, ' +
    (rectangle ? plural(rectangle.codes.length, 'glyph') + ' in a rectangle ' + rectangle.width + ' across'
      : plural(last - first + 1, 'glyph'));
}

// "Glyph 0x41 (65), A; 0x30 to 0x41 selected, 18 glyphs".
function glyphLabel(first, last) {
  return 'Glyph ' + codeName(state.selected).replace(',', ' (' + state.selected + '),') +
    (first < last ? '; ' + selectedSaid() : '');
}

// --- The editor -----------------------------------------------------------

function drawEditor(font, code, cursor, focused) {
  const g = $('editor').getContext('2d');
  g.fillStyle = '#bbb';
  g.fillRect(0, 0, kEditorSize, kEditorSize);
  for (let row = 0; row < 8; row++) {
    for (let column = 0; column < 8; column++) {
      g.fillStyle = isInk(font, code, row, column) ? kInk : kPaper;
      g.fillRect(column * kEditorCell + 1, row * kEditorCell + 1, kEditorCell - 1, kEditorCell - 1);
    }
  }
  if (focused) {
    g.strokeStyle = kFocus;
    g.lineWidth = 3;
    g.strokeRect(cursor[1] * kEditorCell + 2, cursor[0] * kEditorCell + 2, kEditorCell - 3, kEditorCell - 3);
  }
}

const pixelName = (row, column, ink) => 'row ' + (row + 1) + ', column ' + (column + 1) + ', ' + (ink ? 'ink' : 'paper');

function describeEditor() {
  const cells = $('pixel-cells');
  for (let row = 0; row < 8; row++) {
    for (let column = 0; column < 8; column++) {
      setAttribute(cells.children[row].children[column], 'aria-label',
                   pixelName(row, column, isInk(state.font, state.selected, row, column)));
    }
  }
  setAttribute($('pixels'), 'aria-label', 'The pixels of glyph ' + codeName(state.selected));
  setAttribute($('pixels'), 'aria-activedescendant', 'pixel-' + (state.cursor[0] * 8 + state.cursor[1]));
}

// --- Previews -------------------------------------------------------------

// Screen pixels to a CSS pixel, whole: each font pixel is drawn at a whole
// number of them, however the page is zoomed or the screen dense.
const screenPixels = () => Math.max(1, Math.floor(window.devicePixelRatio || 1));

// Draws the text's codes at a scale, light on dark as the game does: each
// font pixel a whole number of screen pixels, at least the scale, the
// canvas as wide as it takes (its box scrolls sideways).
function drawLine(canvas, font, codes) {
  const across = (Math.max(1, codes.length) + 1) * 8;
  const down = 16;
  const pixel = Number(canvas.dataset.scale) * screenPixels();
  canvas.width = across * pixel;
  canvas.height = down * pixel;
  canvas.style.width = canvas.width / (window.devicePixelRatio || 1) + 'px';
  canvas.style.height = canvas.height / (window.devicePixelRatio || 1) + 'px';
  canvas.dataset.pixels = across;
  const g = canvas.getContext('2d');
  g.fillStyle = kGameScreen;
  g.fillRect(0, 0, canvas.width, canvas.height);
  g.fillStyle = kGameInk;
  codes.forEach((code, i) => {
    for (let row = 0; row < 8; row++) {
      for (let column = 0; column < 8; column++) {
        if (isInk(font, code, row, column)) g.fillRect((4 + i * 8 + column) * pixel, (4 + row) * pixel, pixel, pixel);
      }
    }
  });
}

// The code of each character of the text in the code page shown; one the
// code page lacks is drawn as the blank glyph, the space's.
function previewCodes(text) {
  return Array.from(text, (character) => {
    const code = Core.codeOf(shownCodePage(), character);
    return code < 0 ? 0x20 : code;
  });
}

