// The wiring: the page starts its core and its keeping, brings the work
// back, and turns each gesture (a click, a key, a file picked or dropped)
// into a call of the module that handles it.
'use strict';

// Every change of the state goes through act(): each action of the user
// (a click, a key, a file picked or dropped) and each piece of the
// browser's news (the keeping's). The change runs; what goes wrong is
// said in its part; a change of the work is kept; and the page is drawn
// once, after it. Nothing else draws the page.
async function act(part, change, list = null) {
  // A code page moved to in a closed list and not yet taken is let go by
  // any other action: the list shows again the code page the work has.
  if (state.choosing && state.choosing.id !== list) state.choosing = null;
  const answered = state.answer.serial;
  state.acting++;
  try {
    await attempt(part, change);
    await attempt(part, () => state.workChanged && keepWork(answered));
  } finally {
    state.acting--;
    render(state);
  }
}

async function attempt(part, change) {
  try {
    await change();
  } catch (error) {
    await failedTo(part, error);
  }
}

// The browser's news (how the work is kept), as a change of the state:
// drawn at once, or by the action under way once it is done.
function news(change) {
  change();
  if (state.acting === 0) render(state);
}

// A change of the work: once the action is done, it is kept.
function workChanged() {
  state.workChanged = true;
}

// The work changed is kept, and texts checked follow its code page. Why
// Undo let go of its oldest steps is said once for each reason: after
// what the action said (opening a file), or else in the editor's part.
function keepWork(answered) {
  state.workChanged = false;
  const why = state.history.letGo;
  if (why && !state.letGoSaid.includes(why)) {
    state.letGoSaid = [...state.letGoSaid, why];
    const { part, text, serial } = state.answer;
    if (serial !== answered && text !== '') say(part, text + '\n' + why);
    else say('edit', why);
  }
  Keeping.keep();
  followCodePage();
}

// A trap of the core's leaves its memory in no known state: it starts
// again, clean, since it keeps nothing.
async function failedTo(part, error) {
  if (error instanceof WebAssembly.RuntimeError) await Core.restart();
  say(part, 'The page could not do that: ' + whyNot(error));
}

// Why an action failed, for the user: the browser's or the core's reason
// as it gave it; a fault in the page's own script (a TypeError, say) is
// no reason the user can act on, and its words mean nothing to them.
const kOwnFaults = [TypeError, ReferenceError, SyntaxError, RangeError];
function whyNot(error) {
  if (kOwnFaults.some((kind) => error instanceof kind)) {
    console.error(error);
    return 'a fault in the page itself, not in your files. Save your work (part 3), then reload the page.';
  }
  return error.message + '.';
}

// --- The work kept ------------------------------------------------------

function blankWork() {
  Object.assign(state, {
    font: new Uint8Array(kFontSize), name: '', source: null, codePage: 0, placedBy: 0,
    other: null, otherCodePage: 0, selected: 0x41, anchor: 0x41, rectangle: null, dirty: false, asking: null,
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
    return;
  }
  const kept = await Keeping.takeUp(id);
  if (kept.held) {
    say('open', 'That work is open in another tab now.');
  } else if (kept.gone) {
    say('open', 'That work is no longer kept in this browser: it was let go, or the browser cleared it. ' +
        'The work open here is as it was.');
  } else {
    blankWork();
    bringBack(kept);
    followCodePage();
  }
}

async function letGoOf(id, on) {
  say('open', await Keeping.letGoOf(id) ? 'The work' + on + ' is let go.'
    : 'The work' + on + ' is open in another tab now: it is not let go.');
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

// The keys that move a closed list from one option to the next: the
// browser changes its value at each, and a keyboard or screen reader user
// passes through options on the way to the one meant.
const kMovingKeys = /^(Arrow(Up|Down|Left|Right)|Home|End|Page(Up|Down)|[^ ])$/;
// On a Mac the arrow keys open the list instead, and the option chosen in
// it is the one meant.
const kArrowsOpenTheList = /^Mac/.test(navigator.platform || '');
const movesTheList = (event) => !event.altKey && !event.ctrlKey && !event.metaKey && kMovingKeys.test(event.key) &&
  !(kArrowsOpenTheList && event.key.startsWith('Arrow'));

// The keys that open a list, where an option is then picked as with a
// click: the code page moved to before is taken first, as a click takes
// it.
const opensTheList = (event) => event.key === ' ' || event.key === 'F4' ||
  (event.altKey && /^Arrow(Up|Down)$/.test(event.key));

// A code page list acts once, on the code page chosen: at once from the
// list opened (a click, or the keys in it), and for a closed list moved
// with the keys, when the user leaves it, opens it or presses Enter.
function codePageList(id, part, chosen, choose) {
  const list = $(id);
  const moving = () => state.choosing && state.choosing.id === id;
  function commit() {
    if (!moving()) return;
    const { value } = state.choosing;
    state.choosing = null;
    act(part, () => value !== chosen() && choose(value));
  }
  list.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' || opensTheList(event)) commit();
    else if (movesTheList(event) && !moving()) state.choosing = { id, value: chosen() };
  });
  list.addEventListener('change', () => {
    const value = Number(list.value);
    if (moving()) {
      act(part, () => { state.choosing.value = value; }, id);
    } else {
      act(part, () => choose(value));
    }
  });
  list.addEventListener('blur', commit);
  list.addEventListener('pointerdown', commit);
}

function listen() {
  const on = (id, type, handler) => $(id).addEventListener(type, handler);
  on('open-file', 'change', (e) => act('open', () => openFont(picked(e)[0].file)));
  codePageList('code-page', 'open', () => state.codePage, chooseCodePage);
  on('place-again', 'click', () => act('open', () => answerAsking('replace')));
  on('keep-glyphs', 'click', () => act('open', () => answerAsking('keep')));
  on('start-afresh', 'click', () => act('open', startAfresh));
  on('others-list', 'click', (e) => {
    const { takeUp: id, letGo: other } = e.target.dataset;
    if (id) act('open', () => takeUp(id));
    const work = other && state.keeping.others.find((each) => each.id === other);
    const on = work && work.name ? ' on ' + work.name : '';
    if (other && window.confirm('Let go of the work' + on + '? It cannot be brought back.'))
      act('open', () => letGoOf(other, on));
  });
  on('grid', 'pointerdown', (e) => act('edit', () => gridPointer(e)));
  on('grid', 'pointermove', (e) => state.selecting && act('edit', () => gridPointer(e)));
  on('grid', 'pointerup', () => state.selecting && act('edit', endGridDrag));
  on('grid', 'pointercancel', () => state.selecting && act('edit', endGridDrag));
  on('glyphs', 'keydown', gridKey);
  on('editor', 'pointerdown', (e) => act('edit', () => startStroke(e)));
  on('editor', 'pointermove', (e) => state.stroke && act('edit', () => continueStroke(e)));
  on('editor', 'pointerup', () => state.stroke && act('edit', endStroke));
  on('editor', 'pointercancel', () => state.stroke && act('edit', endStroke));
  on('pixels', 'keydown', editorKey);
  // The editor draws its cursor while it has the focus.
  on('pixels', 'focus', () => act('edit', () => {}));
  on('pixels', 'blur', () => act('edit', () => {}));
  on('undo', 'click', () => act('edit', undo));
  on('redo', 'click', () => act('edit', redo));
  on('copy', 'click', () => act('edit', copyGlyphs));
  on('paste', 'click', () => act('edit', pasteGlyphs));
  on('other-file', 'change', (e) => act('other', () => openOther(picked(e)[0].file)));
  codePageList('other-code-page', 'other', () => state.otherCodePage, chooseOtherCodePage);
  on('take-selected', 'click', () => act('other', () => take(false)));
  on('take-blank', 'click', () => act('other', () => take(true)));
  on('preview-text', 'input', () => act('preview', () => { state.previewText = $('preview-text').value; }));
  on('check-files', 'change', (e) => act('check', () => checkFiles(picked(e))));
  on('check-text', 'input', () => act('check', () => checkPasted($('check-text').value)));
  on('check-forget', 'click', () => act('check', forgetCheck));
  codePageList('check-code-page', 'check', () => state.check.codePage, chooseCheckCodePage);
  on('check-lists', 'click', (e) => {
    const { kind, index } = e.target.dataset;
    if (kind) act('check', () => chooseCharacter(kind, Number(index)));
  });
  on('save', 'click', () => act('save', save));
  on('pick-folder', 'click', () => act('patch', pickFolder));
  on('game-files', 'change', (e) => act('patch', () => chooseGame(null, picked(e))));
  on('save-original', 'click', () => act('patch', saveOriginal));
  on('patch', 'click', () => act('patch', patch));
  on('game-downloads', 'click', (e) => {
    if (e.target.dataset.download) act('patch', () => downloadPatched(Number(e.target.dataset.download)));
  });
  on('attach-program', 'change', (e) => act('attach', () => attach(picked(e))));
  document.addEventListener('keydown', shortcut);
  // Zoomed, or moved to a screen of another density: the grid and the
  // previews are sized again to whole screen pixels.
  window.addEventListener('resize', () => act('edit', () => {}));
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
