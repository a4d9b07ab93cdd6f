// The View tab: a Zentra file's records listed as ztr list describes them, the selected
// one drawn as the device shows it (built up, zoomed, inverted), animations played.
import * as engine from './engine.js';
import { drawDecoded, playRecords } from './picture_canvas.js';
import { headerButton, readFileBytes, showMessages, watchDrop } from './page_parts.js';

const $ = (id) => document.getElementById(id);

const state = {
  name: '',
  bytes: null,
  records: [],
  selected: -1,
  stopPlaying: null,
  player: null, // the open file's built-up frames: a step to the next record costs that record
};

function zoom() {
  return Number(document.querySelector('input[name="view-zoom"]:checked').value);
}

async function show(index) {
  const canvas = $('view-canvas');
  const box = $('view-messages');
  state.selected = index;
  for (const item of $('record-list').children) {
    item.classList.toggle('selected', Number(item.dataset.index) === index);
    item.setAttribute('aria-selected', String(Number(item.dataset.index) === index));
  }
  $('record-title').textContent = `Record ${index}: ${state.records[index].text}`;
  const decoded = $('view-buildup').checked
    ? await state.player.show(index)
    : await engine.decodeRecord(state.bytes, index, false);
  if (!decoded) {
    return;
  }
  if (!decoded.ok) {
    canvas.width = 0;
    canvas.height = 0;
    showMessages(box, [decoded.message]);
  } else {
    showMessages(box, []);
    drawDecoded(canvas, decoded, zoom(), $('view-invert').checked);
  }
  canvas.dataset.record = String(index);
  await renderLayoutGrid();
}

// The selected record's bytes as every lay-out of its size and depth reads them, each
// labelled with its type code, the record's own lay-out marked.
async function renderLayoutGrid() {
  const grid = $('layout-grid');
  const wanted = $('view-layouts').checked && state.selected >= 0 && !state.stopPlaying;
  $('layout-hint').hidden = !wanted;
  grid.replaceChildren();
  if (!wanted) {
    return;
  }
  const index = state.selected;
  const own = state.records[index].layout & 0x1f;
  const views = await engine.layoutView(state.bytes, index);
  if (index !== state.selected) {
    return;
  }
  for (const view of views) {
    const figure = document.createElement('figure');
    const caption = document.createElement('figcaption');
    const code = `0x${view.code.toString(16)}`;
    caption.textContent = view.layout === own ? `${code} (as written)` : code;
    if (view.ok) {
      const canvas = document.createElement('canvas');
      canvas.dataset.code = code;
      drawDecoded(canvas, view, zoom(), $('view-invert').checked);
      figure.append(canvas);
    } else {
      caption.textContent += `: ${view.message}`;
    }
    figure.classList.toggle('own', view.layout === own);
    figure.append(caption);
    grid.append(figure);
  }
  grid.dataset.record = String(index);
}

function stopPlaying() {
  if (state.stopPlaying) {
    state.stopPlaying();
    state.stopPlaying = null;
    $('view-play').textContent = 'Play';
  }
}

function togglePlaying() {
  if (state.stopPlaying) {
    stopPlaying();
    return;
  }
  // Frames are shown built up while playing, as the device shows them.
  $('view-buildup').checked = true;
  state.stopPlaying = playRecords(state.records, Math.max(state.selected, 0), show);
  $('view-play').textContent = 'Stop';
}

function renderRecordList() {
  const list = $('record-list');
  list.replaceChildren();
  state.records.forEach((record, index) => {
    const item = document.createElement('li');
    item.dataset.index = String(index);
    item.tabIndex = 0;
    item.textContent = record.text;
    item.addEventListener('click', () => {
      stopPlaying();
      show(index);
    });
    item.addEventListener('keydown', (event) => {
      const next = { ArrowDown: index + 1, ArrowUp: index - 1 }[event.key];
      if (next !== undefined && next >= 0 && next < state.records.length) {
        event.preventDefault();
        stopPlaying();
        show(next);
        list.children[next].focus();
      }
    });
    list.append(item);
  });
}

function renderDownloads() {
  const box = $('view-downloads');
  box.replaceChildren();
  if (!state.bytes) {
    return;
  }
  const bytes = state.bytes;
  box.append(headerButton(state.name, () => bytes));
}

export async function openZentraFile(name, bytes) {
  stopPlaying();
  state.player?.close();
  state.name = name;
  state.bytes = bytes;
  state.player = engine.openPlayer(bytes);
  state.records = await engine.listRecords(bytes);
  $('ztr-name').textContent = `${name}: ${bytes.length} bytes, ${state.records.length} records`;
  renderRecordList();
  renderDownloads();
  $('view-play').disabled = !state.records.some((r) => r.delta);
  if (state.records.length === 0) {
    const canvas = $('view-canvas');
    canvas.width = 0;
    canvas.height = 0;
    $('record-title').textContent = 'Record';
    showMessages($('view-messages'), [`${name} holds no record that can be read.`]);
    return;
  }
  await show(0);
}

export function startViewTab() {
  $('ztr-input').addEventListener('change', async (event) => {
    const file = event.target.files[0];
    const bytes = file ? await readFileBytes(file, $('view-messages')) : null;
    if (bytes) {
      await openZentraFile(file.name, bytes);
    }
    event.target.value = '';
  });
  watchDrop($('ztr-drop'), async (files) => {
    const bytes = files[0] ? await readFileBytes(files[0], $('view-messages')) : null;
    if (bytes) {
      await openZentraFile(files[0].name, bytes);
    }
  });
  for (const input of document.querySelectorAll('input[name="view-zoom"], #view-invert, #view-buildup')) {
    input.addEventListener('change', () => {
      if (state.selected >= 0 && !state.stopPlaying) {
        show(state.selected);
      }
    });
  }
  $('view-play').addEventListener('click', togglePlaying);
  $('view-layouts').addEventListener('change', renderLayoutGrid);
}
