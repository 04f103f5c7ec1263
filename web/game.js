// The game and the program. Patching: the game's files, from a folder
// chosen or dropped or among files given, go to the core, which says what
// became of each and hands back the bytes it wrote; the page writes those
// bytes alone, into the folder where the browser lets it, else as
// downloads. Attaching: a copy of the program, handed to the core, comes
// back carrying the font, or is refused with the core's reason.
'use strict';

// What to do where the page cannot open the game folder.
const kDropInstead = 'Drop or choose the three game files here instead (ZYR2.DOS, ZYR2.EXE and ' +
  'BRANVEL.EXE): each comes back patched, to download. Then copy the downloads into the game ' +
  'folder, in place of the old files; for a game under Program Files, Windows may ask an ' +
  'administrator to confirm.';
const kProtectedFolders = 'Browsers do not let pages open folders under Program Files or Windows, ' +
  'nor in AppData, where Steam and GOG Galaxy install games.';
const kNoGameFiles = 'None of ZYR2.DOS, ZYR2.EXE or BRANVEL.EXE is among the files ';
// The page cannot know whether a download was saved, nor where: it says
// what it did, and what is left for the user to do.
const kToDownload = ' is patched here, not yet in the game: download it below.';
const kPatchedOnlyThen = 'The game is patched only once the files downloaded are in the game folder, ' +
  'in place of the old ones.';
const kGivenToSave = 'Given to your browser to save: ';
const kPutEach = '. Put each in the game folder, in place of the old one: the game is patched only then.';
const kPatchWithIt = 'Patch the game files to put the font into them.';
// A font dropped with the game that did not open: the font open before
// is not the one the user meant, and the page does not invite a patch.
const kFontUnchanged = 'The font open here is unchanged: open the font you meant before you patch.';
const kNowTheGame = 'Now drop the game folder here, or choose it, to put the font into the game.';

// The program's own name, that picks it out of several files dropped.
const kProgramName = /^zyr2font(\.exe)?$/i;

// The game's files among the files given, [{name, file, handle}], read
// as the core takes them, with the game's own font from the first that
// holds one. Each keeps its handle, or the file picked, to be read again
// when it is patched.
async function chooseGame(folder, entries, opened = '', withFont = false) {
  const { taken, twice } = oneOfEachName(entries.filter(({ name }) => Core.isGameFile(name)));
  const files = [];
  for (const { name, file, handle } of taken) {
    const now = handle ? await handle.getFile() : file;
    files.push({ ...await readHeld(now, name), handle, file: handle ? null : file });
  }
  const fonts = files.map((file) => Core.open(file, 0));
  const original = fonts.find((read) => read.font);
  state.game = { folder, files, originalFont: original ? original.font : null, downloads: null };
  const where = folder ? 'in ' + folder.name + '.' : 'chosen.';
  say('patch', (opened ? opened + '\n' : '') + twice + (files.length === 0 ? kNoGameFiles + where
    : 'Found: ' + files.map((f) => f.name + ' (' + f.length + ' bytes)').join(', ') + '.' +
      (original ? '' : '\n' + fonts.map((read) => read.said).join('\n')) +
      (withFont ? '\n' + kPatchWithIt : '')));
}

// Game files given under one name, in any case (two folders' files, or a
// folder on a system that tells ZYR2.EXE from zyr2.exe): the page cannot
// tell which is the game's, and takes none of them. Returns the files
// taken, and what is said of the others, each named.
function oneOfEachName(entries) {
  const byName = new Map();
  for (const entry of entries) {
    const name = entry.name.toUpperCase();
    byName.set(name, [...(byName.get(name) || []), entry]);
  }
  const twice = [...byName.values()].filter((same) => same.length > 1);
  return {
    taken: entries.filter((entry) => byName.get(entry.name.toUpperCase()).length === 1),
    twice: twice.map((same) => same.map((entry) => entry.name).join(' and ') + ' are one name given ' +
                     same.length + ' times: the page cannot tell which is the game\'s, and patches none of them. ' +
                     'Give the files of one game folder.\n').join(''),
  };
}

// What was dropped on the game's part: the game files, loose or in the
// folder dropped (not in folders inside it); and a font dropped with them,
// opened as the work, to be patched in on the user's click, as the program
// patches with a font and a folder dropped on it together. A font dropped
// alone there is opened, and the game chosen before is kept.
async function droppedOnGame({ files, folders }) {
  if (folders.length > 1) {
    say('patch', folders.map((folder) => folder.name).join(', ') + ' were dropped together: drop one game folder ' +
        'at a time. Nothing of them is chosen.');
    return;
  }
  const fonts = files.filter((file) => file.loose && !Core.isGameFile(file.name));
  const font = fonts.length > 0 ? await openedFont(fonts[0].file) : { opened: false, said: '' };
  const opened = font.said && font.said + notOpened(fonts) + (font.opened ? '' : '\n' + kFontUnchanged);
  const game = files.filter((file) => file.depth <= 1 && Core.isGameFile(file.name));
  if (game.length === 0 && opened) {
    const next = state.game && state.game.files.length > 0 ? kPatchWithIt : kNowTheGame;
    say('patch', opened + (font.opened ? '\n' + next : ''));
  } else {
    await chooseGame(folders.length === 1 ? folders[0].handle : null, game, opened, font.opened);
  }
  if (opened) workChanged();
}

async function pickFolder() {
  if (typeof window.showDirectoryPicker !== 'function') {
    say('patch', 'This browser does not let pages open folders at all. ' + kDropInstead);
    $('game-files').focus();
    return;
  }
  let folder;
  try {
    folder = await window.showDirectoryPicker({ mode: 'readwrite' });
  } catch (error) {
    say('patch', (error.name === 'AbortError' ? 'No folder was opened. '
      : 'The browser did not open the folder here (' + error.message + '). ') +
        kProtectedFolders + ' ' + kDropInstead);
    $('game-files').focus();
    return;
  }
  const entries = [];
  for await (const [name, handle] of folder.entries()) {
    if (handle.kind === 'file') entries.push({ name, handle });
  }
  await chooseGame(folder, entries);
}

// The game's own font, to undo a patch with: offered only while the game
// files hold another font than the one open (one patched already gives
// back the user's own font, no original).
function originalToSave() {
  const game = state.game;
  return game && game.originalFont && !sameBytes(game.originalFont, state.font) ? game.originalFont : null;
}

function saveOriginal() {
  const original = originalToSave();
  if (!original) return;
  download('original.fnt', original);
  say('patch', 'original.fnt (' + original.length + ' bytes), the game\'s own font,' + kGivenToBrowser);
}

// Whether the browser lets the page write into the folder: a folder
// picked for writing may; one dropped is asked for first.
async function mayWrite(folder) {
  const mode = { mode: 'readwrite' };
  try {
    return await folder.queryPermission(mode) === 'granted' ||
      await folder.requestPermission(mode) === 'granted';
  } catch (error) {
    return false;
  }
}

// Writes the bytes at the offset of a file of the folder, and nothing
// else, through a stream the browser puts in place whole when it closes,
// or not at all. What went wrong is the write's error, not the abort's.
async function writeInPlace(handle, offset, bytes) {
  const writable = await handle.createWritable({ keepExistingData: true });
  try {
    await writable.write({ type: 'write', position: offset, data: bytes });
    await writable.close();
  } catch (error) {
    await writable.abort().catch(() => {});
    throw error;
  }
}

// Why a game file could not be written, by the name of the browser's
// error, in the program's words where they fit: what the file may be, and
// what to do. The browser writes a copy and puts it in place whole, so a
// file not written is as it was. Where the system would not let the file
// or its folder be written (read-only, held by the game), Chromium says
// InvalidStateError or NoModificationAllowedError.
const kMayBeReadOnlyOrInUse = ' could not be written: it may be read-only (clear Read-only in its ' +
  'Properties), or in use by another program, as when the game is running (close it); then patch again.';
const kAsItWas = ' It is as it was.';
const kNotWritten = {
  InvalidStateError: kMayBeReadOnlyOrInUse + kAsItWas,
  NoModificationAllowedError: kMayBeReadOnlyOrInUse + kAsItWas,
  NotReadableError: ' could not be written: it could not be read first, as when the game is running or it ' +
    'changed on the disk. Close the game, choose the game folder again and patch again.' + kAsItWas,
  NotAllowedError: ' could not be written: the browser no longer lets the page change files in the game ' +
    'folder. Choose the game folder again, let the page edit its files, and patch again.' + kAsItWas,
  NotFoundError: ' could not be written: it is no longer where it was chosen. Choose the game folder again, ' +
    'and patch again.',
  QuotaExceededError: ' could not be written: the disk is full (the browser writes a whole copy of the file ' +
    'first). Make room on the disk, then patch again.' + kAsItWas,
};
// Another error: the page's sentence, then the browser's own words.
const kNotWrittenOtherwise = ' could not be written.' + kAsItWas + ' The browser said: ';

// Writes the font the core put into a file into the game folder: says
// what became of it, and whether it is patched.
async function putInFolder(file, { offset, bytes }) {
  try {
    await writeInPlace(file.handle, offset, bytes.subarray(offset, offset + kFontSize));
    return [file.name + ' is patched in the game folder.', true];
  } catch (error) {
    return [file.name + (kNotWritten[error.name] || kNotWrittenOtherwise + error.message), false];
  }
}

// Why a game file could not be read again, by the name of the browser's
// error: Chromium refuses to read a file picked whose bytes changed since.
const kNotReadAgain = {
  NotReadableError: ' changed since it was chosen: choose the game folder or the game files again to patch it.',
  NotFoundError: ' is no longer where it was chosen: choose the game folder or the game files again.',
};

// The game files as they are now, each read again from its handle or the
// file picked: the core patches these, and what it says of a file is
// said of it as it is. A file that cannot be read is left out, and why is
// said.
async function readGameAgain(game, lines) {
  const files = [];
  for (const file of game.files) {
    try {
      Object.assign(file, await readHeld(file.handle ? await file.handle.getFile() : file.file, file.name));
      files.push(file);
    } catch (error) {
      lines.push(file.name + (kNotReadAgain[error.name] ||
        ' could not be read again (' + error.message + '): it is not patched.'));
    }
  }
  return files;
}

async function patch() {
  const game = state.game;
  if (!game) return;
  const lines = [];
  const files = await readGameAgain(game, lines);
  if (files.length === 0) {
    say('patch', lines.join('\n'));
    return;
  }
  const patched = Core.patch(state.font, files);
  if (!patched.done) {
    say('patch', [...lines, patched.said].join('\n'));
    return;
  }
  const toWrite = patched.files.some((file) => file.outcome === kPatched);
  const inFolder = toWrite && game.folder !== null && await mayWrite(game.folder);
  if (patched.said) lines.push(patched.said);
  if (toWrite && game.folder && !inFolder) {
    lines.push('The browser did not let the page write into ' + game.folder.name +
               ': each file patched is to download instead.');
  }
  // Files patched that the page hands back are each the user's own
  // download: browsers hold a page's second download at once behind a
  // question, which may be answered no.
  game.downloads = { font: state.font.slice(), files: [] };
  let any = false;
  for (const [i, file] of files.entries()) {
    const outcome = patched.files[i].outcome;
    if (outcome === kHeldTheFont) lines.push(file.name + ' already holds this font.');
    if (outcome !== kPatched) continue;
    if (inFolder) {
      const [line, put] = await putInFolder(file, patched.files[i]);
      lines.push(line);
      any = any || put;
    } else {
      game.downloads.files.push({ name: file.name, bytes: patched.files[i].bytes });
      lines.push(file.name + kToDownload);
    }
  }
  if (game.downloads.files.length > 0) lines.push(kPatchedOnlyThen);
  // Only what is written in the game folder is kept: a download may never
  // be saved.
  if (any) state.dirty = false;
  game.downloads.said = lines.join('\n');
  say('patch', game.downloads.said);
  workChanged();
}

// A file patched, handed to the browser to save, on the user's click.
function downloadPatched(index) {
  const downloads = state.game && state.game.downloads;
  const file = downloads && downloads.files[index];
  if (!file) return;
  download(file.name, file.bytes);
  file.given = true;
  const given = downloads.files.filter((each) => each.given).map((each) => each.name);
  say('patch', downloads.said + '\n' + kGivenToSave + given.join(', ') + kPutEach);
}

// Attaches the font to a copy of the program, given alone or, among
// several files (a folder's, say), by its own name.
async function attach(entries) {
  const programs = entries.length === 1 ? entries : entries.filter(({ name }) => kProgramName.test(name));
  if (programs.length === 0) {
    say('attach', 'None of the ' + entries.length + ' files given is zyr2font.exe or zyr2font: ' +
        'give a copy of the program alone, under any name.');
    return;
  }
  const { name, file } = programs[0];
  const rest = programs.slice(1).map((program) => program.name);
  const left = rest.length === 0 ? ''
    : '\n' + rest.join(', ') + (rest.length === 1 ? ' was' : ' were') + ' left as given: give one program at a time.';
  const attached = Core.attach(state.font, await readSource(file, name));
  if (attached.bytes) {
    download(name, attached.bytes);
    say('attach', 'A copy of ' + name + ' that carries the font' + kGivenToBrowser + left);
  } else {
    say('attach', attached.said + left);
  }
}
