// The user's files, as the browser gives them: picked in a file field,
// dropped (a folder too), and given back as downloads.
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
// folders: [{name, handle}], failed: [sentence]}. A folder's files (not
// those of folders inside it) count among the files, at depth 1; a file
// dropped itself is loose, at depth 0. Chromium reads a folder dropped on a
// page from the disk through getAsFileSystemHandle() only: the older
// webkitGetAsEntry() reader fails there; other browsers have that one.
// The items must be asked for while the drop is being handled.
function droppedItems(transfer) {
  const items = Array.from(transfer.items || []).filter((item) => item.kind === 'file');
  const asked = items.map((item) => ({
    file: item.getAsFile(),
    handle: item.getAsFileSystemHandle ? item.getAsFileSystemHandle() : null,
    entry: !item.getAsFileSystemHandle && item.webkitGetAsEntry ? item.webkitGetAsEntry() : null,
  }));
  return (async () => {
    const dropped = { files: [], folders: [], failed: [] };
    for (const { file, handle, entry } of asked) {
      try {
        const found = handle ? await handle : null;
        if (found && found.kind === 'directory') {
          dropped.folders.push({ name: found.name, handle: found });
          for await (const [name, inside] of found.entries()) {
            if (inside.kind === 'file') dropped.files.push({ name, file: await inside.getFile(), handle: inside, depth: 1 });
          }
        } else if (entry && entry.isDirectory) {
          dropped.folders.push({ name: entry.name, handle: null });
          for (const inside of await entriesOf(entry)) {
            if (inside.isFile) dropped.files.push({ name: inside.name, file: await fileOf(inside), handle: null, depth: 1 });
          }
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

// The entries of a folder dropped, through the older reader, which gives
// them a batch at a time.
async function entriesOf(folder) {
  const reader = folder.createReader();
  const entries = [];
  for (;;) {
    const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
    if (batch.length === 0) return entries;
    entries.push(...batch);
  }
}

const fileOf = (entry) => new Promise((resolve, reject) => entry.file(resolve, reject));
