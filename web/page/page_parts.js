// What both tabs share besides pictures: buttons, downloads, message boxes and dropped files.
import { cannotReadText, exportHeader } from './engine.js';

// A plain button with its text and click handler.
export function makeButton(text, className, onClick) {
  const button = document.createElement('button');
  button.type = 'button';
  button.className = className;
  button.textContent = text;
  button.addEventListener('click', onClick);
  return button;
}

// Offers bytes as a file download.
export function offerDownload(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// Shows messages (texts, possibly ending in a line break) in a message box; nothing clears it.
export function showMessages(box, texts, kind = 'error') {
  box.replaceChildren();
  for (const text of texts) {
    const line = document.createElement('p');
    line.className = kind;
    line.textContent = text.replace(/\n$/, '');
    box.append(line);
  }
}

// A chosen or dropped file's bytes, or null when the browser cannot read it: the box then
// shows the engine's line for it and, on the line after, the browser's reason.
export async function readFileBytes(file, box) {
  try {
    return new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    const reason = (error && (error.message || error.name)) || String(error);
    showMessages(box, [await cannotReadText(file.name, reason)]);
    return null;
  }
}

// Calls onFiles with the files dropped on a zone, which is marked while something is
// dragged over it.
export function watchDrop(zone, onFiles) {
  zone.addEventListener('dragover', (event) => {
    event.preventDefault();
    zone.classList.add('over');
  });
  zone.addEventListener('dragleave', () => zone.classList.remove('over'));
  zone.addEventListener('drop', (event) => {
    event.preventDefault();
    zone.classList.remove('over');
    onFiles(event.dataTransfer.files);
  });
}

// The button that downloads a Zentra file's C header as ztr export writes it, named after
// the file; bytesOf() gives the file's bytes when it is clicked.
export function headerButton(fileName, bytesOf) {
  const headerName = `${fileName.replace(/\.[^.]*$/, '')}.h`;
  const button = makeButton(`C header ${headerName}`, 'download secondary', async () => {
    offerDownload(headerName, await exportHeader(bytesOf(), fileName), 'text/x-c');
  });
  button.dataset.file = headerName;
  return button;
}
