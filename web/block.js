// A block of glyphs edited as one picture: the codes selected, in reading
// order, a width typed, and the picture the core cuts of them (the same as
// --convert --codes --width writes). Strokes, the keyboard's cursor and
// the transforms cross glyph edges; each change is put back by the core
// into the font as one step of the history, said as what was done ("0xC9
// to 0xCB, 3 glyphs across, flipped left to right"). A tile view draws
// the block, or the glyph, 3 by 3 around itself, as it joins in the game.
'use strict';

// The block's part of the state: whether the editor shows the block, the
// codes it was given then (an Undo, which chooses the glyph it changes,
// leaves them), its glyphs across as typed, and the keyboard's cursor in
// its picture, [row, column].
state.block = { on: false, codes: [], width: 3, cursor: [0, 0] };

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

// A drag in the grid over more than one of its rows marks a rectangle of
// cells: the grid is 16 across, so a rectangle is a block, its width the
// rectangle's. It holds while the selection the drag made does: {codes,
// width, selection}, or null.
let gridRectangle = null;
let gridDrag = null;

function gridDragStart(event) {
  const code = gridCode(event);
  gridDrag = code === null || event.shiftKey ? null : { from: code, to: code };
}

function gridDragMove(event) {
  const code = gridDrag && gridCode(event);
  if (code !== null && code !== undefined) gridDrag.to = code;
}

function gridDragEnd() {
  if (!gridDrag) return;
  const { from, to } = gridDrag;
  gridDrag = null;
  const [top, bottom] = [Math.min(from >> 4, to >> 4), Math.max(from >> 4, to >> 4)];
  const [left, right] = [Math.min(from & 15, to & 15), Math.max(from & 15, to & 15)];
  gridRectangle = null;
  if (top === bottom) return;
  const codes = [];
  for (let row = top; row <= bottom; row++) {
    for (let column = left; column <= right; column++) codes.push(row * 16 + column);
  }
  gridRectangle = { codes, width: right - left + 1, selection: selection().join() };
  state.block.width = gridRectangle.width;
  announce(plural(codes.length, 'glyph') + ' in a rectangle, ' + plural(gridRectangle.width, 'glyph') + ' across');
  render(state);
}

const rectangleHolds = () => gridRectangle !== null && gridRectangle.selection === selection().join();

// The codes selected, in reading order: the rectangle dragged, or the
// range.
function selectedCodes() {
  if (rectangleHolds()) return gridRectangle.codes;
  const [first, last] = selection();
  return Array.from({ length: last - first + 1 }, (_, i) => first + i);
}

// The rectangle dragged, framed on the grid.
function frameRectangle() {
  if (!rectangleHolds()) return;
  const codes = gridRectangle.codes;
  const [first, last] = [codes[0], codes[codes.length - 1]];
  const g = $('grid').getContext('2d');
  g.strokeStyle = kFocus;
  g.lineWidth = 2;
  g.setLineDash([4, 3]);
  g.strokeRect(kGridLeft + (first & 15) * kGridCell + 1, kGridTop + (first >> 4) * kGridCell + 1,
               gridRectangle.width * kGridCell - 1, ((last >> 4) - (first >> 4) + 1) * kGridCell - 1);
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
let blockStroke = null;
const shownPicture = (block) => (blockStroke ? blockStroke.picture : Core.blockCut(state.font, block));

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
  g.fillStyle = '#f6f5f2';
  g.fillRect(0, 0, width, height);
  g.fillStyle = '#555';
  g.font = '11px monospace';
  g.textBaseline = 'middle';
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
    const [row, column] = state.block.cursor;
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
// screen reader hears each move as a new cell.
let blockCellShown = 0;
function describeBlock(block, picture) {
  const [row, column] = state.block.cursor;
  const name = blockPixelName(block, picture, row, column);
  const shown = $('block-cell-' + blockCellShown);
  if (shown.getAttribute('aria-label') !== name) {
    blockCellShown = 1 - blockCellShown;
    setAttribute($('block-cell-' + blockCellShown), 'aria-label', name);
  }
  setAttribute($('block-pixels'), 'aria-activedescendant', 'block-cell-' + blockCellShown);
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
  const [row, column] = state.block.cursor;
  state.block.cursor = [Math.min(row, picture.height - 1), Math.min(column, picture.width - 1)];
  drawBlock(block, picture, document.activeElement === $('block-pixels'));
  describeBlock(block, picture);
  drawTiles(picture);
}

// --- Editing ----------------------------------------------------------------

// Puts a picture into the block as one step, said as what was done.
function putBlockPicture(block, picture, done) {
  const font = Core.blockPut(state.font, block, picture);
  if (!font) return;
  const said = blockSaid(block) + ', ' + done;
  if (changeFont(font, said)) {
    announce(sentence(said));
    changed();
  } else {
    announce(sentence('nothing changed in ' + blockSaid(block)));
    render(state);
  }
}

function blockPixel(event, picture) {
  const canvas = $('block-editor');
  const box = canvas.getBoundingClientRect();
  const cell = Number(canvas.dataset.cell);
  const x = (event.clientX - box.left) / box.width * canvas.width - kBlockLeft;
  const y = (event.clientY - box.top) / box.height * canvas.height - kBlockTop;
  const row = Math.floor(y / cell);
  const column = Math.floor(x / cell);
  return row >= 0 && column >= 0 && row < picture.height && column < picture.width ? [row, column] : null;
}

function setBlockPixel(picture, row, column, ink) {
  const pixels = picture.pixels.slice();
  pixels[row * picture.width + column] = ink ? 1 : 0;
  return { ...picture, pixels };
}

// A stroke draws ink when it begins on paper, and paper when on ink,
// across glyph edges; it is one step when it ends.
function startBlockStroke(event) {
  const block = currentBlock();
  const picture = Core.blockCut(state.font, block);
  const pixel = blockPixel(event, picture);
  if (!pixel) return;
  $('block-editor').setPointerCapture(event.pointerId);
  const ink = !pixelAt(picture, ...pixel);
  blockStroke = { block, ink, picture: setBlockPixel(picture, ...pixel, ink) };
  state.block.cursor = pixel;
  render(state);
}

function continueBlockStroke(event) {
  const pixel = blockStroke && blockPixel(event, blockStroke.picture);
  if (!pixel || pixelAt(blockStroke.picture, ...pixel) === blockStroke.ink) return;
  blockStroke.picture = setBlockPixel(blockStroke.picture, ...pixel, blockStroke.ink);
  render(state);
}

function endBlockStroke() {
  if (!blockStroke) return;
  const { block, picture } = blockStroke;
  blockStroke = null;
  putBlockPicture(block, picture, 'drawn');
}

// The arrow keys cross glyph edges and stop at the picture's sides; Space
// or Enter turns the pixel to ink or paper.
function blockKey(event) {
  const moves = { ArrowLeft: [0, -1], ArrowRight: [0, 1], ArrowUp: [-1, 0], ArrowDown: [1, 0] };
  const block = currentBlock();
  const picture = Core.blockCut(state.font, block);
  const [row, column] = state.block.cursor;
  if (event.key in moves) {
    const [down, across] = moves[event.key];
    state.block.cursor = [Math.max(0, Math.min(picture.height - 1, row + down)),
                          Math.max(0, Math.min(picture.width - 1, column + across))];
    render(state);
  } else if (event.key === ' ' || event.key === 'Enter') {
    const ink = !pixelAt(picture, row, column);
    putBlockPicture(block, setBlockPixel(picture, row, column, ink),
                    'row ' + (row + 1) + ', column ' + (column + 1) + ' set to ' + (ink ? 'ink' : 'paper'));
  } else if (event.key === 'Escape') {
    $('glyphs').focus();
  } else {
    return;
  }
  event.preventDefault();
}

// A glyph transform of the core's, done to the block as one picture.
function transformBlock({ number, done }) {
  const block = currentBlock();
  const turned = Core.blockTransform(Core.blockCut(state.font, block), number);
  if (!turned) {
    const rows = Math.ceil(block.codes.length / block.width);
    say('block', blockSaid(block) + ' and ' + rows + ' down is not square: only a square block rotates.');
    render(state);
    return;
  }
  putBlockPicture(block, turned, done);
}

function toggleBlock() {
  state.block.on = !state.block.on;
  state.block.codes = selectedCodes();
  state.block.cursor = [0, 0];
  render(state);
}

function typeBlockWidth() {
  const width = Number($('block-width').value);
  if (Number.isInteger(width) && width >= 1 && width <= kGlyphs) state.block.width = width;
  render(state);
}

function saveBlock() {
  const block = currentBlock();
  const first = block.codes[0];
  const name = 'block-' + hex(first, 2) + '-' + hex(block.codes[block.codes.length - 1], 2) + '.png';
  download(name, Core.blockPng(state.font, block));
  say('block', name + ' (' + blockSaid(block) + ')' + kGivenToBrowser);
  render(state);
}

// A picture picked or dropped, put into the block as --merge puts it; one
// of another size is refused with the size the block needs.
async function putPictureFile(file) {
  const block = currentBlock();
  const read = Core.blockRead(state.font, block, await readHeld(file));
  if (!read.font) {
    say('block', read.said);
    render(state);
    return;
  }
  const said = blockSaid(block) + ', ' + file.name + ' put in';
  if (changeFont(read.font, said)) say('block', sentence(said) + '; Undo takes it back.');
  else say('block', file.name + ' holds the glyphs the block has already.');
  changed();
}

function fillBlockTransforms() {
  for (const transform of Core.glyphTransforms()) {
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.blockTransform = transform.number;
    button.title = transform.description + ', the block as one picture';
    button.textContent = transform.name;
    button.addEventListener('click', () => act('block', () => transformBlock(transform)));
    $('block-transforms').appendChild(button);
  }
}

function listenToBlock() {
  const on = (id, type, handler) => $(id).addEventListener(type, handler);
  on('grid', 'pointerdown', gridDragStart);
  on('grid', 'pointermove', gridDragMove);
  on('grid', 'pointerup', gridDragEnd);
  on('grid', 'pointercancel', () => { gridDrag = null; });
  on('block-edit', 'click', toggleBlock);
  on('block-width', 'change', typeBlockWidth);
  on('block-save', 'click', () => act('block', saveBlock));
  on('block-picture', 'change', (e) => act('block', () => putPictureFile(picked(e)[0].file)));
  on('block-editor', 'pointerdown', startBlockStroke);
  on('block-editor', 'pointermove', continueBlockStroke);
  on('block-editor', 'pointerup', endBlockStroke);
  on('block-editor', 'pointercancel', endBlockStroke);
  on('block-pixels', 'keydown', blockKey);
  on('block-pixels', 'focus', () => render(state));
  on('block-pixels', 'blur', () => render(state));
  fillBlockTransforms();
}
