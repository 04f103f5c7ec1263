// Rendering: render(state) makes the page show the state, all of it, every
// time: the glyphs and the editor with what a screen reader is told of
// them, the previews, the other font, the check (drawn by check.js), the
// game files, the answers and how the work is kept. Nothing else writes
// to what the user sees.
'use strict';

// --- Parts ----------------------------------------------------------------

// The code page list's first choice, none: as the font says, and what it
// says, where its file tells a code page of its own.
const kAsTheFontSays = 'as the font says';
const kNoneSaid = ' (437 when it needs one)';

function renderWork(first, last) {
  $('code-page').value = listShows('code-page', state.codePage);
  const own = state.codePage === 0 ? ownOf(state.source) : null;
  $('code-page').options[0].text = kAsTheFontSays + (own && own.codePage ? ': ' + own.codePage : kNoneSaid);
  $('undo').disabled = state.history.at === 0;
  $('redo').disabled = state.history.at === state.history.steps.length;
  $('paste').disabled = !state.copied;
  $('glyph-label').textContent = glyphLabel(first, last);
  $('start-afresh').hidden = state.name === '' && state.font.every((b) => b === 0);
  $('asking').hidden = !state.asking;
  if (state.asking) $('place-again').textContent = 'Place it again by ' + state.asking.named;
  if (document.activeElement !== $('preview-text')) $('preview-text').value = state.previewText;
}

function renderOther(codes) {
  const other = state.other;
  $('other-name').textContent = other ? other.name + (other.placedBy ? ', placed by code page ' + other.placedBy : '') : '';
  $('other-code-page').value = listShows('other-code-page', state.otherCodePage);
  $('take-selected').disabled = !other;
  $('take-blank').disabled = !other;
  $('other-preview').hidden = !other;
  $('other-previews').hidden = !other;
  if (!other) return;
  setAttribute($('other-preview'), 'aria-label', 'The text in ' + other.name + ' at 2x');
  drawLine($('other-preview'), other.font, codes);
}

function renderGame() {
  const game = state.game;
  const list = $('game-found');
  list.replaceChildren(...(game ? game.files : []).map((file) => {
    const item = document.createElement('li');
    item.textContent = file.name + ' (' + file.length + ' bytes)';
    return item;
  }));
  $('original').hidden = !originalToSave();
  $('patch').hidden = !(game && game.files.length > 0);
  // The files patched to download carry the font as it was at the patch:
  // once it changed, they are not offered.
  const downloads = game && game.downloads;
  const current = Boolean(downloads) && sameBytes(downloads.font, state.font);
  const offered = current ? downloads.files : [];
  replaceItems($('game-downloads'), offered, offered.map((file) => file.name).join('\n'), (file, index) => {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.download = String(index);
    button.textContent = 'Download ' + file.name;
    item.appendChild(button);
    return item;
  });
  $('game-downloads-stale').hidden = !downloads || downloads.files.length === 0 || current;
}

// Makes a list's items anew only when what they show changed: a button
// made again would take the keyboard focus, and a screen reader's place,
// with it.
function replaceItems(list, things, shows, make) {
  if (list.dataset.shows === shows && list.children.length === things.length) return;
  list.dataset.shows = shows;
  list.replaceChildren(...things.map(make));
}

function renderOthers() {
  const others = state.keeping.others;
  $('others').hidden = others.length === 0;
  const shows = others.map(({ id, name, changed }) => id + name + changed).join('\n');
  replaceItems($('others-list'), others, shows, ({ id, name, changed }) => {
    const item = document.createElement('li');
    const what = document.createElement('span');
    what.textContent = (name || 'A blank font') + ', changed ' + new Date(changed).toLocaleString() + ' ';
    const takeUp = document.createElement('button');
    takeUp.type = 'button';
    takeUp.textContent = 'Take it up';
    takeUp.dataset.takeUp = id;
    const letGo = document.createElement('button');
    letGo.type = 'button';
    letGo.textContent = 'Let it go';
    letGo.dataset.letGo = id;
    item.append(what, takeUp, ' ', letGo);
    return item;
  });
}

// The keeping's news at the foot of the screen, where it is seen whatever
// the user was doing.
function renderKeeping() {
  const { status, why, note, news } = state.keeping;
  const bar = $('keeping');
  const text = status === 'unkept'
    ? 'Your work is not being kept in this browser: ' + why + '. ' + kSaveKeeps
    : news;
  if (bar.textContent !== text) bar.textContent = text;
  $('kept-note').hidden = note === '';
  $('kept-note').textContent = note;
}

// The answer in its part, the others emptied; a new one is brought into
// view when it is out of it.
let shownAnswer = 0;
function renderAnswer() {
  const { part, text, serial } = state.answer;
  for (const element of document.querySelectorAll('[data-answer]')) {
    const mine = element.dataset.answer === part ? text : '';
    if (element.textContent !== mine) element.textContent = mine;
  }
  if (serial === shownAnswer) return;
  shownAnswer = serial;
  const shown = document.querySelector('[data-answer="' + part + '"]');
  if (!shown || text === '') return;
  const box = shown.getBoundingClientRect();
  const foot = $('keeping').getBoundingClientRect().height;
  if (box.top < 0 || box.bottom > window.innerHeight - foot) shown.scrollIntoView({ block: 'nearest' });
}

// What a screen reader alone is told, once. The same words twice (Bold
// pressed again) are told again: every other time they end in a no-break
// space, so that the region's text changes.
let shownAnnouncement = 0;
function renderAnnouncement() {
  const announcement = state.announcement;
  if (!announcement || announcement.serial === shownAnnouncement) return;
  shownAnnouncement = announcement.serial;
  $('announce').textContent = announcement.text + (announcement.serial % 2 === 0 ? '\u00A0' : '');
}

function render(state) {
  const [first, last] = selection();
  const focused = document.activeElement === $('pixels');
  const marks = checkMarks(state.font);
  const chosen = new Set(selectedCodes());
  drawGrid(state.font, chosen, state.selected, marks);
  describeGrid(chosen, marks);
  drawEditor(state.font, state.selected, state.cursor, focused);
  describeEditor();
  renderBlock();
  const codes = previewCodes(state.previewText);
  for (const canvas of $('previews').querySelectorAll('canvas')) drawLine(canvas, state.font, codes);
  renderWork(first, last);
  renderOther(codes);
  renderCheck(marks);
  renderGame();
  renderOthers();
  renderKeeping();
  renderAnswer();
  renderAnnouncement();
}
