// The font's files: opening one as the work or as the other font, each
// placed by its code page and placed again when that changes, starting
// afresh, and saving in the formats the core writes.
'use strict';

// The work's font read from its file by a code page, as the program reads
// it: with none chosen (0), as --check reads it, placed by the code page
// the font tells it is its own; what that is, is noted.
function readWork(source, codePage) {
  const read = Core.open(source, codePage, codePage === 0);
  if (codePage === 0) owns.set(ownKey(source), read.own);
  return read;
}

// What a file tells of its own code page, as readWork() reads it with none
// chosen: {codePage, checkedIn}, the code page it tells (0: none) and the
// program's sentence of the one its texts are checked in and why ("Checked
// in code page 737, the font's own."); null for no file, or one that reads
// as no font. The reading goes by the file's content and name alone, so it
// is worked out once a file: when it is opened, or first asked for a work
// brought back or a file Undo brings back.
const owns = new Map();
const ownKey = (source) => source.key + '\n' + source.name;
function ownOf(source) {
  if (!source) return null;
  if (!owns.has(ownKey(source))) readWork(source, 0);
  return owns.get(ownKey(source));
}

// Opens a file as the work, in place of the font open, as one step; says
// so in the part it was given in, and what was given with it and left.
async function openFont(file, part = 'open', leftOut = '') {
  say(part, (await openedFont(file)).said + leftOut);
  workChanged();
}

// Opens a file as the work, as openFont() does: whether it opened, and
// what is to be said of it.
async function openedFont(file) {
  const source = await readSource(file);
  const hadFont = state.font.some((b) => b !== 0);
  const read = readWork(source, state.codePage);
  if (!read.font) return { opened: false, said: read.said };
  changeWork(() => {
    Object.assign(state, { font: read.font, name: source.name, source, placedBy: read.placedBy });
    return true;
  });
  const what = Core.isGameFile(source.name) ? source.name + "'s own font" : source.name;
  return { opened: true,
           said: (hadFont ? what + ' is open in place of yours; Undo brings yours back.' : what + ' is open.') +
             (read.said ? '\n' + read.said : '') };
}

// Of several fonts given at once one is opened, the first: the others
// are named, after what is said of it.
function notOpened(fonts) {
  const rest = fonts.slice(1).map((font) => font.name);
  return rest.length === 0 ? ''
    : '\n' + rest.join(', ') + (rest.length === 1 ? ' was' : ' were') + ' not opened: drop one font at a time.';
}

// A code page chosen: the preview maps text through it, and the font open
// is placed again by it, when its glyphs are placed by one. Glyphs edited
// since the file was opened are not replaced unasked: the page asks, and
// `answer` is the user's ('replace' or 'keep', where the code page then
// maps text alone).
function chooseCodePage(codePage, answer = '') {
  const { source, placedBy } = state;
  const read = source ? readWork(source, codePage) : { font: null, said: '' };
  const places = read.font !== null && (placedBy !== 0 || read.placedBy !== 0);
  const named = codePage ? 'code page ' + codePage : 'the code page the font says';
  if (places && answer === '' && editedSinceOpened()) {
    state.asking = { codePage, named };
    say('open', 'You changed glyphs of ' + state.name + ' since it was opened. Placed again by ' + named +
        ', it has its own glyphs there in place of yours (Undo brings yours back); or keep your glyphs, ' +
        'and ' + named + ' maps text alone.');
    return;
  }
  const placed = places && answer !== 'keep';
  changeWork(() => {
    state.codePage = codePage;
    if (placed) Object.assign(state, { font: read.font, placedBy: read.placedBy });
    return true;
  });
  say('open', (placed ? state.name + ' is placed again, by code page ' + state.placedBy +
                        '; Undo brings back the font as it was.'
                      : (answer === 'keep' ? 'Your glyphs are kept. ' : '') +
                        'The preview maps text through code page ' + shownCodePage() + '.') +
      (source && read.said && answer !== 'keep' ? '\n' + read.said : ''));
  workChanged();
}

// The user's answer to the question chooseCodePage() asked; none is
// asked now (the work changed since), nothing is done.
function answerAsking(answer) {
  if (state.asking) chooseCodePage(state.asking.codePage, answer);
}

// Whether the font is other than its file gives, placed as it is: glyphs
// were edited, or taken, since it was opened. (A font its own code page
// placed reads the same by that code page chosen; one that kept its codes
// reads the same whether its own is asked for or not.)
function editedSinceOpened() {
  const opened = Core.open(state.source, state.placedBy);
  return !opened.font || !sameBytes(opened.font, state.font);
}

// Opens a file as the font glyphs are taken from, by the code page chosen
// for it; what was given with it and left is said after.
async function openOther(file, leftOut = '') {
  const source = await readSource(file);
  const read = Core.open(source, state.otherCodePage);
  if (!read.font) {
    say('other', read.said + leftOut);
    return;
  }
  state.other = { font: read.font, name: source.name, source, placedBy: read.placedBy };
  say('other', (read.said ? read.said + '\n' : '') + source.name + ' is open to take glyphs from' +
      (read.placedBy ? ', placed by code page ' + read.placedBy : '') + '.' + leftOut);
  workChanged();
}

// The other font's code page chosen: it is placed again by it, when its
// glyphs are placed by one, as the font open is.
function chooseOtherCodePage(codePage) {
  state.otherCodePage = codePage;
  const other = state.other;
  const read = other && other.source ? Core.open(other.source, codePage) : { font: null, said: '' };
  if (read.font !== null && (other.placedBy !== 0 || read.placedBy !== 0)) {
    state.other = { ...other, font: read.font, placedBy: read.placedBy };
    say('other', other.name + ' is placed again, by code page ' + read.placedBy + '.' +
        (read.said ? '\n' + read.said : ''));
  } else if (other) {
    say('other', other.name + ' keeps its own codes: no code page places its glyphs.');
  }
  workChanged();
}

// A blank font, as a step that Undo takes back.
function startAfresh() {
  changeWork(() => {
    Object.assign(state, { font: new Uint8Array(kFontSize), name: '', source: null, codePage: 0, placedBy: 0 });
    return true;
  });
  state.dirty = false;
  say('open', 'The page starts afresh with a blank font; Undo brings your work back.');
  workChanged();
}

function save() {
  const extension = $('save-format').value;
  let name = $('save-name').value.trim() || 'ZYR2';
  if (!name.toLowerCase().endsWith(extension)) name = name.replace(/\.[^.]*$/, '') + extension;
  // A TrueType font's family is named for the file.
  const bytes = Core.save(state.font, name, shownCodePage());
  if (!bytes) return;
  // The page cannot know whether the browser saved it (a download may be
  // blocked or cancelled): leaving still asks first.
  download(name, bytes);
  say('save', name + ' (' + bytes.length + ' bytes)' + kGivenToBrowser);
}
