// Editing a block of glyphs as one picture: strokes, the keyboard's
// cursor and the transforms across glyph edges, a picture put in and the
// block saved as PNG. Each change is put back by the core into the font
// as one step of the history, said as what was done ("0xC9 to 0xCB, 3
// glyphs across, flipped left to right"). Each gesture here runs within
// act(), which keeps the work changed and draws the page once it is done.
'use strict';

// Puts a picture into the block as one step, said as what was done.
function putBlockPicture(block, picture, done) {
  const font = Core.blockPut(state.font, block, picture);
  if (!font) return;
  const said = blockSaid(block) + ', ' + done;
  if (changeFont(font, said)) {
    announce(sentence(said));
    workChanged();
  } else {
    announce(sentence('nothing changed in ' + blockSaid(block)));
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
  state.block.stroke = { block, ink, picture: setBlockPixel(picture, ...pixel, ink) };
  state.block.cursor = pixel;
}

function continueBlockStroke(event) {
  const stroke = state.block.stroke;
  const pixel = stroke && blockPixel(event, stroke.picture);
  if (!pixel || pixelAt(stroke.picture, ...pixel) === stroke.ink) return;
  stroke.picture = setBlockPixel(stroke.picture, ...pixel, stroke.ink);
}

function endBlockStroke() {
  if (!state.block.stroke) return;
  const { block, picture } = state.block.stroke;
  state.block.stroke = null;
  putBlockPicture(block, picture, 'drawn');
}

// The arrow keys cross glyph edges and stop at the picture's sides; Space
// or Enter turns the pixel to ink or paper.
function blockKey(event) {
  const moves = { ArrowLeft: [0, -1], ArrowRight: [0, 1], ArrowUp: [-1, 0], ArrowDown: [1, 0] };
  if (event.key in moves) {
    act('block', () => moveBlockCursor(...moves[event.key]));
  } else if (event.key === ' ' || event.key === 'Enter') {
    act('block', setBlockPixelAtCursor);
  } else if (event.key === 'Escape') {
    $('glyphs').focus();
  } else {
    return;
  }
  event.preventDefault();
}

function moveBlockCursor(down, across) {
  const picture = Core.blockCut(state.font, currentBlock());
  const [row, column] = blockCursor(picture);
  state.block.cursor = [Math.max(0, Math.min(picture.height - 1, row + down)),
                        Math.max(0, Math.min(picture.width - 1, column + across))];
}

// The pixel under the cursor turned to ink or paper.
function setBlockPixelAtCursor() {
  const block = currentBlock();
  const picture = Core.blockCut(state.font, block);
  const [row, column] = blockCursor(picture);
  const ink = !pixelAt(picture, row, column);
  putBlockPicture(block, setBlockPixel(picture, row, column, ink),
                  'row ' + (row + 1) + ', column ' + (column + 1) + ' set to ' + (ink ? 'ink' : 'paper'));
}

// A glyph transform of the core's, done to the block as one picture.
function transformBlock({ number, done }) {
  const block = currentBlock();
  const turned = Core.blockTransform(Core.blockCut(state.font, block), number);
  if (!turned) {
    const rows = Math.ceil(block.codes.length / block.width);
    say('block', blockSaid(block) + ' and ' + rows + ' down is not square: only a square block rotates.');
    return;
  }
  putBlockPicture(block, turned, done);
}

function toggleBlock() {
  state.block.on = !state.block.on;
  state.block.codes = selectedCodes();
  state.block.cursor = [0, 0];
}

function typeBlockWidth() {
  const width = Number($('block-width').value);
  if (Number.isInteger(width) && width >= 1 && width <= kGlyphs) state.block.width = width;
}

function saveBlock() {
  const block = currentBlock();
  const first = block.codes[0];
  const name = 'block-' + hex(first, 2) + '-' + hex(block.codes[block.codes.length - 1], 2) + '.png';
  download(name, Core.blockPng(state.font, block));
  say('block', name + ' (' + blockSaid(block) + ')' + kGivenToBrowser);
}

// A picture picked or dropped, put into the block as --merge puts it; one
// of another size is refused with the size the block needs.
async function putPictureFile(file) {
  const block = currentBlock();
  const read = Core.blockRead(state.font, block, await readHeld(file));
  if (!read.font) {
    say('block', read.said);
    return;
  }
  const said = blockSaid(block) + ', ' + file.name + ' put in';
  if (changeFont(read.font, said)) {
    say('block', sentence(said) + '; Undo takes it back.');
    workChanged();
  } else {
    say('block', 'Nothing changed: ' + file.name + ' holds the glyphs the block has already.');
  }
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
  on('block-edit', 'click', () => act('block', toggleBlock));
  on('block-width', 'change', () => act('block', typeBlockWidth));
  on('block-save', 'click', () => act('block', saveBlock));
  on('block-picture', 'change', (e) => act('block', () => putPictureFile(picked(e)[0].file)));
  on('block-editor', 'pointerdown', (e) => act('block', () => startBlockStroke(e)));
  on('block-editor', 'pointermove', (e) => state.block.stroke && act('block', () => continueBlockStroke(e)));
  on('block-editor', 'pointerup', () => state.block.stroke && act('block', endBlockStroke));
  on('block-editor', 'pointercancel', () => state.block.stroke && act('block', endBlockStroke));
  on('block-pixels', 'keydown', blockKey);
  // The block's picture draws its cursor while it has the focus.
  on('block-pixels', 'focus', () => act('block', () => {}));
  on('block-pixels', 'blur', () => act('block', () => {}));
  fillBlockTransforms();
}
