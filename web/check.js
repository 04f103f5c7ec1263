// Checking a translation: the texts given (files picked or dropped, and
// text pasted) are read by the core as --check reads them, in the code
// page chosen for them (else the one the preview shows text through), and
// its answer is kept in the state. Which of the codes the texts use have
// a blank glyph is worked out from the font each time it is drawn, so the
// marks follow every edit without the texts being read again; another
// code page checks them again.
'use strict';

const kPastedName = 'pasted text';
// The marks on the grid: the paper of the code the texts use most (of
// others, lighter the less they are used; the least used is tinted too),
// and a code they use whose glyph is blank, on paper of its own in a frame.
const kUsedPaper = [138, 180, 248];
const kLeastTint = 0.2;
const kBlankPaper = '#f8c4bd';
const kBlankFrame = '#d93025';
const kNoCheck = { files: [], pasted: '', codePage: 0, result: null };
const kNothingChecked = 'No text is checked now.';
const kNoGlyph = ': no code of the font shows it, so it has no glyph to draw.';
// How much of a texts folder dropped is read, the folders inside it too:
// past these the files are left out, and the page says so.
const kTextsReach = { files: 1000, bytes: 128 * 1024 * 1024 };
const kTextsReachSaid = 'the page checks 1,000 files and 128 MiB of a folder at most';

// A text as the core takes it, {name, length, bytes}: whole, or, longer
// than any text the check reads, unread, for the core to refuse.
async function readText({ name, file }) {
  const unread = file.size > Core.largestText();
  return { name, length: file.size, bytes: unread ? new Uint8Array(0) : new Uint8Array(await file.arrayBuffer()) };
}

function pastedText(text) {
  const bytes = new TextEncoder().encode(text);
  const unread = bytes.length > Core.largestText();
  return { name: kPastedName, length: bytes.length, bytes: unread ? new Uint8Array(0) : bytes };
}

// The code page the texts are checked in: the one chosen for them, else
// the one the preview shows text through.
const checkCodePage = () => state.check.codePage || shownCodePage();

// Checks the texts given, in their code page; what stops one is given
// back, in the program's words.
function checkTexts() {
  const { files, pasted } = state.check;
  const texts = pasted === '' ? files : [...files, pastedText(pasted)];
  state.check.result = null;
  if (texts.length === 0) return '';
  const codePage = checkCodePage();
  const { said, checked } = Core.check(texts, codePage);
  if (checked) state.check.result = { ...checked, codePage, names: texts.map((text) => text.name) };
  return said;
}

// Text files picked or dropped, in place of those checked before, and,
// of folders dropped, how many were checked and what was left out. Of
// several picks in a row, the last one is checked.
let picks = 0;
async function checkFiles(entries, dropped = null) {
  const pick = ++picks;
  const files = [];
  for (const entry of entries) files.push(await readText(entry));
  if (pick !== picks) return;
  state.check.files = files;
  const refused = checkTexts();
  const lines = [refused || (dropped && dropped.folders.length > 0 ? checkedOfFolders(files.length, dropped.folders) : '')];
  if (dropped && dropped.leftOut.count > 0) {
    lines.push(plural(dropped.leftOut.count, 'file') + ' from ' + dropped.leftOut.first + ' on ' +
               (dropped.leftOut.count === 1 ? 'was' : 'were') + ' left out: ' + kTextsReachSaid + '.');
  }
  say('check', lines.filter((line) => line !== '').join('\n'));
}

// "Checked 12 files of texts, the folders inside it too."
function checkedOfFolders(count, folders) {
  return 'Checked ' + plural(count, 'file') + ' of ' + folders.map((folder) => folder.name).join(', ') +
    ', the folders inside ' + (folders.length === 1 ? 'it' : 'them') + ' too.';
}

function checkPasted(text) {
  state.check.pasted = text;
  say('check', checkTexts());
}

// A code page chosen for the texts alone (0: the work's): they are
// checked again in it, and the font is not placed again.
function chooseCheckCodePage(codePage) {
  state.check.codePage = codePage;
  say('check', checkTexts());
}

function forgetCheck() {
  picks++;
  state.check = { ...kNoCheck, codePage: state.check.codePage };
  say('check', kNothingChecked);
}

// After a change of the work: texts checked in another code page than
// theirs now (the work's, when none is chosen for them) are checked again,
// in it.
function followCodePage() {
  const result = state.check.result;
  if (result && result.codePage !== checkCodePage()) checkTexts();
}

// A character of the lists chosen: one with a code has its glyph focused,
// to be drawn; one the code page lacks has none, and that is said.
function chooseCharacter(kind, index) {
  const result = state.check.result;
  if (!result) return;
  const character = result[kind][index];
  if (kind === 'coded') {
    choose(character.code);
    $('glyphs').focus();
    return;
  }
  say('check', character.name + ' is not in code page ' + result.codePage + kNoGlyph);
}

// --- Drawn by render() ------------------------------------------------------

// The check's marks on the font as it is: how often the texts use each
// code, the most any is used, and the characters whose glyph is blank
// (those --check lists), by count; null when no text is checked in the
// code page they are to be checked in.
function checkMarks(font) {
  const result = state.check.result;
  if (!result || result.codePage !== checkCodePage()) return null;
  const blank = result.coded.filter((character) => isBlank(font, character.code));
  return { uses: result.uses, most: Math.max(...result.uses), blank, blankCodes: new Set(blank.map((c) => c.code)) };
}

// How the grid marks a code: {paper, frame}, frame null for none; null
// for a code the texts do not use.
function markOf(code, marks) {
  const count = marks.uses[code];
  if (count === 0) return null;
  if (marks.blankCodes.has(code)) return { paper: kBlankPaper, frame: kBlankFrame };
  const depth = kLeastTint + (1 - kLeastTint) * Math.log1p(count) / Math.log1p(marks.most);
  const [red, green, blue] = kUsedPaper.map((full) => Math.round(255 - (255 - full) * depth));
  return { paper: 'rgb(' + red + ', ' + green + ', ' + blue + ')', frame: null };
}

const usesOf = (characters) => characters.reduce((sum, character) => sum + character.count, 0);

// The program's summary: "all 3,412 characters of 2 files can be drawn",
// or "5 characters, used 57 times, cannot be drawn: 3 not in code page
// 866, 2 with a blank glyph"; and the code page that lacks fewer of the characters.
function checkSummary(result, blank) {
  const files = plural(result.files, 'file');
  const lines = [];
  if (result.characters === 0) {
    lines.push(files + (result.files === 1 ? ' holds' : ' hold') + ' no character to draw');
  } else if (result.lacking.length === 0 && blank.length === 0) {
    lines.push('all ' + plural(result.characters, 'character') + ' of ' + files + ' can be drawn');
  } else {
    const parts = [];
    if (result.lacking.length > 0) parts.push(grouped(result.lacking.length) + ' not in code page ' + result.codePage);
    if (blank.length > 0) parts.push(grouped(blank.length) + ' with a blank glyph');
    lines.push(plural(result.lacking.length + blank.length, 'character') + ', used ' +
               plural(usesOf(result.lacking) + usesOf(blank), 'time') + ', cannot be drawn: ' + parts.join(', '));
  }
  if (result.better && result.betterComposed) {
    lines.push('composing the text (NFC) lets code page ' + result.better + ' draw ' +
               (result.betterLacks === 0 ? 'it' : 'all but ' + plural(result.betterLacks, 'character') + ' of it'));
  } else if (result.better) {
    lines.push('code page ' + result.better + (result.betterLacks === 0 ? ' has every letter of this text'
      : ' has all but ' + plural(result.betterLacks, 'character') + ' of this text'));
  }
  return lines.join('\n');
}

// "U+2116 №, at code 0xFC, used 201 times, first at intro.txt:13:14".
function characterLine(character, names) {
  const { file, line, column } = character.first;
  return character.name + (character.kind === 'coded' ? ', at code 0x' + hex(character.code, 2) : '') +
    ', used ' + plural(character.count, 'time') + ', first at ' + names[file] + ':' + line + ':' + column;
}

function listOf(element, characters, names) {
  element.hidden = characters.length === 0;
  element.querySelector('ul').replaceChildren(...characters.map((character) => {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.kind = character.kind;
    button.dataset.index = String(character.index);
    button.textContent = characterLine(character, names);
    item.appendChild(button);
    return item;
  }));
}

// The program's sentence of the code page the texts are checked in and
// why, as --check begins its report where no code page is named: where
// none is chosen, here or in part 1, for a font opened from a file; else
// nothing.
function checkedInWhy() {
  if (state.check.codePage !== 0 || state.codePage !== 0) return '';
  const own = ownOf(state.source);
  return own ? own.checkedIn + '\n' : '';
}

// The lists are made again only when what they list changed: a stroke
// draws the page at every pixel.
let listed = { result: null, blank: '' };
function renderCheck(marks) {
  const result = state.check.result;
  $('check-code-page').value = listShows('check-code-page', state.check.codePage);
  $('check-code-page').options[0].text = 'as in part 1 (' + shownCodePage() + ')';
  if (document.activeElement !== $('check-text')) $('check-text').value = state.check.pasted;
  $('check-forget').hidden = state.check.files.length === 0 && state.check.pasted === '';
  const summary = marks ? checkedInWhy() + checkSummary(result, marks.blank) : '';
  if ($('check-summary').textContent !== summary) $('check-summary').textContent = summary;
  $('check-texts').textContent = marks ? 'Checked in code page ' + result.codePage + ': ' + result.names.join(', ') + '.' : '';
  const blank = marks ? marks.blank.map((character) => character.code).join() : '';
  if (listed.result === result && listed.blank === blank) return;
  listed = { result, blank };
  $('check-lacking-heading').textContent = marks ? 'Not in code page ' + result.codePage : '';
  listOf($('check-lacking'), marks ? result.lacking.map((character, index) => ({ ...character, index })) : [],
         marks ? result.names : []);
  listOf($('check-blank'), marks ? marks.blank.map((character) => ({ ...character, index: result.coded.indexOf(character) })) : [],
         marks ? result.names : []);
}
