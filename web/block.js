// A block of glyphs as one picture, as it is shown: the codes selected,
// in reading order (a rectangle dragged in the grid, or a range), a width
// typed, and the picture the core cuts of them (the same as --convert
// --codes --width writes), drawn with its glyph edges and named pixel by
// pixel for a screen reader; and a tile view that draws the block, or the
// glyph, 3 by 3 around itself, as it joins in the game. block_editing.js
// turns the gestures on it into changes.
'use strict';

// Each block pixel is this many canvas pixels at most and at least, as
// wide as the editor lets it; the codes go down the left and across the
// top.
const kBlockLargestCell = 24;
const kBlockSmallestCell = 4;
const kBlockEditorWidth = 520;
const kBlockLeft = 34;
const kBlockTop = 14;
const kBlockEdge = 'rgba(224, 138, 0, 0.45)';
const kTileScale = 2;

// A rectangle selected in the grid is a block, its width the
// rectangle's: it is framed on the grid.
function frameRectangle() {
  const rectangle = selectedRectangle();
  if (!rectangle) return;
  const { codes, width } = rectangle;
  const [first, last] = [codes[0], codes[codes.length - 1]];
  const g = $('grid').getContext('2d');
  g.strokeStyle = kFocus;
  g.lineWidth = 2;
  g.setLineDash([4, 3]);
  g.strokeRect(kGridLeft + (first & 15) * kGridCell + 1, kGridTop + (first >> 4) * kGridCell + 1,
               width * kGridCell - 1, ((last >> 4) - (first >> 4) + 1) * kGridCell - 1);
  g.setLineDash([]);
}

// The block edited, or the one the selection would make, and the width:
// {codes, width}.
function currentBlock() {
  const codes = state.block.on ? state.block.codes : selectedCodes();
  return { codes, width: Math.max(1, Math.min(state.block.width, codes.length)) };
}

// "0xC9 to 0xCB, 3 glyphs across"
function blockSaid(block) {
  const first = block.codes[0];
  const last = block.codes[block.codes.length - 1];
  return codesSaid(first, last) + ', ' + plural(block.width, 'glyph') + ' across';
}

const blockCell = (picture) =>
  Math.max(kBlockSmallestCell, Math.min(kBlockLargestCell, Math.floor(kBlockEditorWidth / picture.width)));

// The picture shown: the one a stroke is drawing, or the block's in the
// font.
const shownPicture = (block) => (state.block.stroke ? state.block.stroke.picture : Core.blockCut(state.font, block));

// The keyboard's cursor, within the picture: a width typed since may have
// made it smaller.
function blockCursor(picture) {
  const [row, column] = state.block.cursor;
  return [Math.min(row, picture.height - 1), Math.min(column, picture.width - 1)];
}

const pixelAt = (picture, row, column) => picture.pixels[row * picture.width + column] === 1;

// "row 3, column 12, glyph 0xCA, ink"
function blockPixelName(block, picture, row, column) {
  const index = Math.floor(row / 8) * block.width + Math.floor(column / 8);
  const code = block.codes[index];
  return 'row ' + (row + 1) + ', column ' + (column + 1) + ', ' +
    (code === undefined ? 'past the last glyph' : 'glyph 0x' + hex(code, 2)) + ', ' +
    (pixelAt(picture, row, column) ? 'ink' : 'paper');
}

// --- Drawing ----------------------------------------------------------------

function drawBlock(block, picture, focused) {
  const canvas = $('block-editor');
  const cell = blockCell(picture);
  const width = kBlockLeft + picture.width * cell + 1;
  const height = kBlockTop + picture.height * cell + 1;
  if (canvas.width !== width || canvas.height !== height) {
    canvas.width = width;
    canvas.height = height;
  }
  Object.assign(canvas.dataset, { left: kBlockLeft, top: kBlockTop, cell, across: picture.width, down: picture.height });
  const g = canvas.getContext('2d');
  paintLabelled(g, width, height);
  for (let row = 0; row * block.width < block.codes.length; row++)
    g.fillText('0x' + hex(block.codes[row * block.width], 2), 0, kBlockTop + (row * 8 + 4) * cell);
  for (let column = 0; column < block.width; column++)
    g.fillText('+' + column, kBlockLeft + (column * 8 + 3) * cell, kBlockTop / 2);
  for (let row = 0; row < picture.height; row++) {
    for (let column = 0; column < picture.width; column++) {
      g.fillStyle = pixelAt(picture, row, column) ? kInk : kPaper;
      g.fillRect(kBlockLeft + column * cell, kBlockTop + row * cell, cell, cell);
    }
  }
  // The glyph edges, faint, over the pixels.
  g.fillStyle = kBlockEdge;
  for (let x = 0; x <= picture.width; x += 8) g.fillRect(kBlockLeft + x * cell - 1, kBlockTop, 1, picture.height * cell);
  for (let y = 0; y <= picture.height; y += 8) g.fillRect(kBlockLeft, kBlockTop + y * cell - 1, picture.width * cell, 1);
  if (focused) {
    const [row, column] = blockCursor(picture);
    g.strokeStyle = kFocus;
    g.lineWidth = 2;
    g.strokeRect(kBlockLeft + column * cell + 1, kBlockTop + row * cell + 1, cell - 2, cell - 2);
  }
}

// The picture 3 by 3 around itself, light on dark as the game draws it.
function drawTiles(picture) {
  const canvas = $('block-tiles');
  const pixel = kTileScale * screenPixels();
  canvas.width = picture.width * 3 * pixel;
  canvas.height = picture.height * 3 * pixel;
  canvas.style.width = canvas.width / (window.devicePixelRatio || 1) + 'px';
  canvas.style.height = canvas.height / (window.devicePixelRatio || 1) + 'px';
  const g = canvas.getContext('2d');
  g.fillStyle = kGameScreen;
  g.fillRect(0, 0, canvas.width, canvas.height);
  g.fillStyle = kGameInk;
  for (let tile = 0; tile < 9; tile++) {
    const left = (tile % 3) * picture.width;
    const top = Math.floor(tile / 3) * picture.height;
    for (let row = 0; row < picture.height; row++) {
      for (let column = 0; column < picture.width; column++) {
        if (pixelAt(picture, row, column)) g.fillRect((left + column) * pixel, (top + row) * pixel, pixel, pixel);
      }
    }
  }
}

// The cursor's pixel is named by one of two cells in turn, so that a
// screen reader hears each move as a new cell: the one named now is the
// one the picture's grid points to.
function describeBlock(block, picture) {
  const name = blockPixelName(block, picture, ...blockCursor(picture));
  let shown = $('block-pixels').getAttribute('aria-activedescendant') === 'block-cell-1' ? 1 : 0;
  if ($('block-cell-' + shown).getAttribute('aria-label') !== name) {
    shown = 1 - shown;
    setAttribute($('block-cell-' + shown), 'aria-label', name);
  }
  setAttribute($('block-pixels'), 'aria-activedescendant', 'block-cell-' + shown);
  setAttribute($('block-pixels'), 'aria-label', 'The block ' + blockSaid(block) + ' as one picture');
}

function renderBlock() {
  frameRectangle();
  const on = state.block.on;
  const block = currentBlock();
  $('block-view').hidden = !on;
  $('block-edit').textContent = on ? 'Back to one glyph' : 'Edit as one picture';
  setAttribute($('block-edit'), 'aria-pressed', String(on));
  if (document.activeElement !== $('block-width')) $('block-width').value = String(state.block.width);
  const glyph = { codes: [state.selected], width: 1 };
  if (!on) {
    drawTiles(Core.blockCut(state.font, glyph));
    return;
  }
  const picture = shownPicture(block);
  drawBlock(block, picture, document.activeElement === $('block-pixels'));
  describeBlock(block, picture);
  drawTiles(picture);
}
