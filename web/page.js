// The wiring: the page starts its core and its keeping, brings the work
// back, and turns each gesture (a click, a key, a file picked or dropped)
// into a call of the module that handles it.
'use strict';

// After every change of the work: it is kept, and drawn. Why Undo let
// go of its oldest steps is said once for each reason: after what the
// change said (opening a file), or else in the editor's part.
const letGoSaid = new Set();
let answerSeen = 0;
function changed() {
  const why = state.history.letGo;
  if (why && !letGoSaid.has(why)) {
    letGoSaid.add(why);
    const { part, text, serial } = state.answer;
    if (serial !== answerSeen && text !== '') say(part, text + '\n' + why);
    else say('edit', why);
  }
  answerSeen = state.answer.serial;
  Keeping.keep();
  followCodePage();
  render(state);
}

// Runs what a gesture asks for; what goes wrong is said in its part. A
// trap of the core's leaves its memory in no known state: it starts
// again, clean, since it keeps nothing.
async function act(part, action) {
  try {
    await action();
  } catch (error) {
    if (error instanceof WebAssembly.RuntimeError) await Core.restart();
    say(part, 'The page could not do that: ' + error.message + '.');
    render(state);
  }
}

// --- The work kept ------------------------------------------------------

function blankWork() {
  Object.assign(state, {
    font: new Uint8Array(kFontSize), name: '', source: null, codePage: 0, placedBy: 0,
    other: null, otherCodePage: 0, selected: 0x41, anchor: 0x41, dirty: false, asking: null,
    history: { steps: [], at: 0, next: 1, letGo: '' },
  });
}

// The work as it was kept, back, and said so: as it was left, or, when
// its last changes could not be kept, as far as it was.
function bringBack(kept) {
  if (!kept) return;
  const { record, fonts, steps, files, unkept } = kept;
  if (!record) {
    if (unkept) say('open', 'The changes of your last visit were not kept: ' + unkept + '.');
    return;
  }
  const source = (ref) => (ref && files.has(ref.key) ? { ...ref, bytes: files.get(ref.key) } : null);
  const work = ({ font, name, codePage, placedBy, source: ref }) => ({ font, name, codePage, placedBy, source: source(ref) });
  putWork(work({ ...record, font: fonts.work }));
  Object.assign(state, {
    other: record.other && { ...record.other, font: fonts.other || new Uint8Array(kFontSize), source: source(record.other.source) },
    otherCodePage: record.otherCodePage,
    selected: record.selected, anchor: record.anchor, dirty: record.dirty,
    history: {
      steps: steps.map((step) => (step.kind === 'work' ? { ...step, before: work(step.before), after: work(step.after) } : step)),
      at: Math.min(record.at, steps.length), next: record.next, letGo: '',
    },
  });
  const on = record.name ? ' on ' + record.name : '';
  say('open', unkept
    ? 'Your work' + on + ' is back as the browser last kept it; the changes after that were not kept: ' + unkept + '.'
    : 'Your work' + on + ' is back, as you left it.');
}

async function takeUp(id) {
  if (state.keeping.status === 'unkept') {
    say('open', 'The work open here is not being kept: save it before you take up another.');
    render(state);
    return;
  }
  const kept = await Keeping.takeUp(id);
  if (!kept) {
    say('open', 'That work is open in another tab now.');
  } else {
    blankWork();
    bringBack(kept);
    followCodePage();
  }
  render(state);
}

// --- Dropping -----------------------------------------------------------

// The part of the page an element is in, whose answer tells what became
// of a drop there.
function partOf(element) {
  const part = element.closest && element.closest('[data-part]');
  return part ? part.dataset.part : 'open';
}

function nothingTaken(part, { files, folders, failed }) {
  const why = failed.length > 0 ? failed.join('\n')
    : folders.length > 0 && files.length === 0 ? folders[0].name + ' holds no file.'
      : 'Nothing was dropped that the page can read.';
  say(part, why);
  render(state);
}

// Files dropped on the game's part are game files (and a font with
// them), on the program's part a program, on the check's part texts, on
// the other font's part the other font; anywhere else, a font to open. A
// folder is looked into on the first three, and on the check's part the
// folders inside it too.
async function dropped(part, items) {
  const { files, folders } = items;
  if (part === 'patch') {
    if (files.length === 0) nothingTaken(part, items);
    else await droppedOnGame(items);
  } else if (part === 'attach') {
    if (files.length === 0) nothingTaken(part, items);
    else await attach(files);
  } else if (part === 'check') {
    if (files.length === 0) nothingTaken(part, items);
    else await checkFiles(files, items);
  } else if (folders.length > 0) {
    say(part, folders[0].name + ' is a folder: drop one font file from it to open it, or drop the ' +
        'game folder on part 4 to put the font into the game.');
    render(state);
  } else if (files.length === 0) {
    nothingTaken(part, items);
  } else if (part === 'other') {
    await openOther(files[0].file, notOpened(files));
  } else if (part === 'block') {
    await putPictureFile(files[0].file);
  } else {
    await openFont(files[0].file, part, notOpened(files));
  }
}

// --- Start --------------------------------------------------------------

function fillCodePages() {
  for (const select of [$('code-page'), $('other-code-page'), $('check-code-page')]) {
    for (const number of Core.codePages()) select.add(new Option(String(number), String(number)));
  }
}

function fillTransforms() {
  for (const { number, name, description, done } of Core.glyphTransforms()) {
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.transform = number;
    button.title = description;
    button.textContent = name;
    button.addEventListener('click', () => act('edit', () => transform({ number, done })));
    $('transforms').appendChild(button);
  }
}

function listen() {
  const on = (id, type, handler) => $(id).addEventListener(type, handler);
  on('open-file', 'change', (e) => act('open', () => openFont(picked(e)[0].file)));
  on('code-page', 'change', () => act('open', () => chooseCodePage(Number($('code-page').value))));
  on('place-again', 'click', () => act('open', () => chooseCodePage(state.asking.codePage, 'replace')));
  on('keep-glyphs', 'click', () => act('open', () => chooseCodePage(state.asking.codePage, 'keep')));
  on('start-afresh', 'click', startAfresh);
  on('others-list', 'click', (e) => {
    const { takeUp: id, letGo: other } = e.target.dataset;
    if (id) act('open', () => takeUp(id));
    const name = other && state.keeping.others.find((work) => work.id === other).name;
    if (other && window.confirm('Let go of the work' + (name ? ' on ' + name : '') + '? It cannot be brought back.'))
      act('open', () => Keeping.letGoOf(other));
  });
  on('grid', 'pointerdown', gridPointer);
  on('grid', 'pointermove', gridPointer);
  on('grid', 'pointerup', () => { selecting = false; });
  on('grid', 'pointercancel', () => { selecting = false; });
  on('glyphs', 'keydown', gridKey);
  on('editor', 'pointerdown', startStroke);
  on('editor', 'pointermove', continueStroke);
  on('editor', 'pointerup', endStroke);
  on('editor', 'pointercancel', endStroke);
  on('pixels', 'keydown', editorKey);
  on('pixels', 'focus', () => render(state));
  on('pixels', 'blur', () => render(state));
  on('undo', 'click', undo);
  on('redo', 'click', redo);
  on('copy', 'click', copyGlyphs);
  on('paste', 'click', pasteGlyphs);
  on('other-file', 'change', (e) => act('other', () => openOther(picked(e)[0].file)));
  on('other-code-page', 'change', () => act('other', () => chooseOtherCodePage(Number($('other-code-page').value))));
  on('take-selected', 'click', () => act('other', () => take(false)));
  on('take-blank', 'click', () => act('other', () => take(true)));
  on('preview-text', 'input', () => {
    state.previewText = $('preview-text').value;
    render(state);
  });
  on('check-files', 'change', (e) => act('check', () => checkFiles(picked(e))));
  on('check-text', 'input', () => act('check', () => checkPasted($('check-text').value)));
  on('check-forget', 'click', forgetCheck);
  on('check-code-page', 'change', () => act('check', () => chooseCheckCodePage(Number($('check-code-page').value))));
  on('check-lists', 'click', (e) => {
    const { kind, index } = e.target.dataset;
    if (kind) act('check', () => chooseCharacter(kind, Number(index)));
  });
  on('save', 'click', () => act('save', save));
  on('pick-folder', 'click', () => act('patch', pickFolder));
  on('game-files', 'change', (e) => act('patch', () => chooseGame(null, picked(e))));
  on('save-original', 'click', saveOriginal);
  on('patch', 'click', () => act('patch', patch));
  on('game-downloads', 'click', (e) => {
    if (e.target.dataset.download) downloadPatched(Number(e.target.dataset.download));
  });
  on('attach-program', 'change', (e) => act('attach', () => attach(picked(e))));
  document.addEventListener('keydown', shortcut);
  // Leaving with changes neither saved nor patched asks first; the work is
  // kept all the same, where the browser keeps it.
  window.addEventListener('beforeunload', (event) => {
    if (!state.dirty) return;
    event.preventDefault();
    event.returnValue = '';
  });
  document.addEventListener('dragover', (e) => {
    e.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    document.body.classList.remove('dropping');
    const part = partOf(e.target);
    const reading = droppedItems(e.dataTransfer, part === 'check' ? kTextsReach : null);
    act(part, async () => dropped(part, await reading));
  });
}

async function start() {
  await Core.load();
  fillCodePages();
  fillTransforms();
  buildCells($('glyph-cells'), 16, 'glyph-');
  buildCells($('pixel-cells'), 8, 'pixel-');
  bringBack(await Keeping.start());
  listen();
  listenToBlock();
  render(state);
  document.body.dataset.ready = 'yes';
}

start().catch((error) => {
  say('open', 'The page could not start: ' + error.message);
  render(state);
});
