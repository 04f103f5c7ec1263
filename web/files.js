// The user's files, as the browser gives them: picked in a file field,
// dropped (a folder too), and given back as downloads; and the part of
// the page that takes the files dropped on it.
'use strict';

// A file as the core takes it, {key, name, length, bytes}: whole, or,
// when longer than any font file it reads, by its end alone, where a
// program keeps a font. Nothing more of a long file is read. The key
// names its content, so that a file opened twenty times is kept once.
async function readSource(file, name = file.name) {
  const read = await readHeld(file, name);
  return { ...read, key: await contentKey(read.bytes, file.size) };
}

// A file as the core takes it, without its key: {name, length, bytes}.
async function readHeld(file, name = file.name) {
  const whole = file.size <= Core.largestSource();
  const part = whole ? file : file.slice(Math.max(0, file.size - Core.tailLength()));
  return { name, length: file.size, bytes: new Uint8Array(await part.arrayBuffer()) };
}

async function contentKey(bytes, length) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return length + '-' + Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
}

// The page cannot know whether a download was saved, nor where: it says
// only what it did.
const kGivenToBrowser = ' was given to your browser to save, where it puts downloads.';

function download(name, bytes) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// The files picked in a file field, which is then emptied: the same file
// can be picked again.
function picked(event) {
  const files = Array.from(event.target.files);
  event.target.value = '';
  return files.map((file) => ({ name: file.name, file }));
}

// What was dropped, read: {files: [{name, file, handle, loose, depth}],
// folders: [{name, handle}], failed: [sentence], leftOut: {count, first}}.
// A folder's own files count among the files, at depth 1, by their names;
// with `reach` ({files, bytes}: the texts' bounds) so do the files of the
// folders inside it, each named by its path in the folder dropped
// ("ru/intro.txt"), hidden ones (".git") aside, up to reach.files files
// and reach.bytes bytes in all; the files past either are left out,
// counted, from the first on. A file dropped itself is loose, at depth 0.
// Chromium reads a folder dropped on a page from the disk through
// getAsFileSystemHandle() only: the older webkitGetAsEntry() reader fails
// there; other browsers have that one. The items must be asked for while
// the drop is being handled.
function droppedItems(transfer, reach = null) {
  const items = Array.from(transfer.items || []).filter((item) => item.kind === 'file');
  const asked = items.map((item) => ({
    file: item.getAsFile(),
    handle: item.getAsFileSystemHandle ? item.getAsFileSystemHandle() : null,
    entry: !item.getAsFileSystemHandle && item.webkitGetAsEntry ? item.webkitGetAsEntry() : null,
  }));
  return (async () => {
    const dropped = { files: [], folders: [], failed: [], leftOut: { count: 0, first: '' }, bytes: 0 };
    for (const { file, handle, entry } of asked) {
      try {
        const found = handle ? await handle : null;
        const folder = found && found.kind === 'directory' ? found : entry && entry.isDirectory ? entry : null;
        if (folder) {
          dropped.folders.push({ name: folder.name, handle: found && found.kind === 'directory' ? found : null });
          await readFolder(folder, '', dropped, reach);
        } else if (file) {
          // A file's handle reads it as it is later on; the file, as it was.
          dropped.files.push({ name: file.name, file, handle: found && found.kind === 'file' ? found : null,
                               loose: true, depth: 0 });
        }
      } catch (error) {
        dropped.failed.push((file ? file.name : 'A folder') + ' could not be read (' + error.message + ').');
      }
    }
    return dropped;
  })();
}

// The files of a folder dropped, at `path` in it, into what was dropped;
// with `reach`, those of the folders inside it too, within its bounds.
async function readFolder(folder, path, dropped, reach) {
  for (const inside of await entriesOf(folder)) {
    const name = path + inside.name;
    if (reach && inside.name.startsWith('.')) continue;
    if (inside.folder) {
      if (reach) await readFolder(inside.folder, name + '/', dropped, reach);
      continue;
    }
    if (dropped.leftOut.count > 0 || (reach && dropped.files.length >= reach.files)) {
      leaveOut(dropped, name);
      continue;
    }
    const file = await inside.file();
    if (reach && dropped.bytes + file.size > reach.bytes) {
      leaveOut(dropped, name);
      continue;
    }
    dropped.bytes += file.size;
    dropped.files.push({ name, file, handle: inside.handle, depth: name.split('/').length });
  }
}

function leaveOut(dropped, name) {
  if (dropped.leftOut.count++ === 0) dropped.leftOut.first = name;
}

// The entries of a folder dropped, by name, each {name, folder, handle,
// file()}: folder for a folder inside it, file() reading a file. A
// folder's handle lists them at once; the older reader, a batch at a time.
async function entriesOf(folder) {
  const entries = [];
  if (folder.kind === 'directory') {
    for await (const [name, inside] of folder.entries()) {
      const isFolder = inside.kind === 'directory';
      entries.push({ name, folder: isFolder ? inside : null, handle: isFolder ? null : inside,
                     file: () => inside.getFile() });
    }
  } else {
    const reader = folder.createReader();
    for (;;) {
      const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
      if (batch.length === 0) break;
      for (const inside of batch) {
        entries.push({ name: inside.name, folder: inside.isDirectory ? inside : null, handle: null,
                       file: () => fileOf(inside) });
      }
    }
  }
  return entries.sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0));
}

const fileOf = (entry) => new Promise((resolve, reject) => entry.file(resolve, reject));

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
