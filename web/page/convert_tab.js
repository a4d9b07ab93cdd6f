// The Convert tab: pictures, display types and tone options go to the engine on every
// change; what it writes is previewed as the device shows it and offered for download.
import * as engine from './engine.js';
import { drawDecoded, playRecords } from './picture_canvas.js';
import { headerButton, makeButton, offerDownload, readFileBytes, showMessages, watchDrop } from './page_parts.js';

const $ = (id) => document.getElementById(id);

const state = {
  pictures: [], // [{name, bytes}] in the order added; a name added again replaces its picture
  profiles: [], // the bundled profiles, then those of the user's own file, each with its key
  bundled: [],
  chosen: [], // [{key, code, label}] in the order chosen: the order of the file's sequences
  files: [], // the last conversion's output: [{name, bytes, records}]
  stopPlaying: null,
  paletteFile: null, // {name, bytes} of a chosen palette file
  conversion: null, // the conversion running in the worker: {done, cancel}
  words: null, // the engine's words and limits (engine.engineWords())
  outcomes: [], // the last conversion's outcomes (failures and warnings), as the engine gives them
};

// A conversion that lasts longer than this shows its progress and a Cancel button.
const PROGRESS_AFTER_MS = 300;

function isGif(picture) {
  const b = picture.bytes;
  return b.length >= 6 && String.fromCharCode(...b.subarray(0, 6)).startsWith('GIF8');
}

let pending = 0;

// Marks a conversion as asked for: the tests wait until the last one asked for is drawn.
function requestRun() {
  const run = ++pending;
  document.body.dataset.convertRequested = String(run);
  return run;
}

// A file the browser could not read ends the run it asked for with its message shown.
function readFailed() {
  document.body.dataset.convertDone = String(pending);
}

async function addPictures(fileList) {
  requestRun(); // reading the files comes before the conversion they lead to
  for (const file of fileList) {
    const bytes = await readFileBytes(file, $('convert-messages'));
    if (!bytes) {
      renderPictureList();
      readFailed();
      return;
    }
    const existing = state.pictures.findIndex((p) => p.name === file.name);
    if (existing >= 0) {
      state.pictures[existing] = { name: file.name, bytes };
    } else {
      state.pictures.push({ name: file.name, bytes });
    }
  }
  // Several pictures, or a GIF with its frames, are meant as an animation.
  $('opt-animation').checked = state.pictures.length > 1 || state.pictures.some(isGif);
  showFrameDelays();
  renderPictureList();
  convertNow();
}

// The pictures' own delays are offered only for an animation.
function showFrameDelays() {
  $('panel-convert').classList.toggle('animation', $('opt-animation').checked);
}

function renderPictureList() {
  const list = $('picture-list');
  list.replaceChildren();
  state.pictures.forEach((picture, index) => {
    const item = document.createElement('li');
    const name = document.createElement('span');
    name.textContent = `${picture.name} (${picture.bytes.length} bytes)`;
    // An animation frame's own delay; empty takes the common one.
    const delay = document.createElement('input');
    delay.type = 'number';
    delay.min = '0';
    delay.max = String(state.words.maxDelay);
    delay.className = 'frame-delay';
    delay.placeholder = 'delay';
    delay.title = 'This picture\'s own delay in ms (empty: the common delay)';
    delay.setAttribute('aria-label', `Delay of ${picture.name} in ms`);
    delay.value = picture.delay || '';
    delay.addEventListener('change', () => {
      picture.delay = delay.value;
      convertNow();
    });
    const remove = makeButton('Remove', 'small', () => {
      state.pictures.splice(index, 1);
      renderPictureList();
      convertNow();
    });
    remove.setAttribute('aria-label', `Remove ${picture.name}`);
    item.append(name, delay, remove);
    list.append(item);
  });
  $('picture-clear').hidden = state.pictures.length === 0;
  markOutcomes();
}

// A picture that the last conversion refused, or warned about, is marked in the list with
// the engine's outcome: what happened and, for a refusal, that it held the conversion up.
function markOutcomes() {
  $('picture-list').querySelectorAll('li').forEach((item, index) => {
    const name = state.pictures[index]?.name;
    const outcome = state.outcomes.find((o) => o.file === name);
    item.classList.toggle('refused', Boolean(outcome && !outcome.warning));
    item.classList.toggle('warned', Boolean(outcome && outcome.warning));
    if (outcome) {
      item.dataset.outcome = outcome.code;
    } else {
      delete item.dataset.outcome;
    }
  });
}

function layoutWords(profile) {
  // Lay-out codes in 0x hexadecimal, as the profile file writes them.
  return `layout 0x${profile.layout.toString(16).toUpperCase().padStart(2, '0')}, depth ${profile.depth}`;
}

function renderTypeList() {
  const filter = $('type-search').value.trim().toLowerCase();
  const list = $('type-list');
  list.replaceChildren();
  state.profiles.forEach((profile) => {
    const words = `${profile.name} ${profile.description} ${layoutWords(profile)}`.toLowerCase();
    if (filter && !words.includes(filter)) {
      return;
    }
    const { key } = profile;
    const item = document.createElement('li');
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.value = profile.name;
    box.dataset.key = key;
    box.checked = state.chosen.some((c) => c.key === key);
    box.addEventListener('change', () => {
      if (box.checked) {
        state.chosen.push({ key, code: profile.code, label: profile.name, palette: profile.palette,
          shows: profile.shows, unusable: profile.unusable, background: profile.background });
      } else {
        state.chosen = state.chosen.filter((c) => c.key !== key);
      }
      renderChosen();
      convertNow();
    });
    const name = document.createElement('b');
    name.textContent = profile.name;
    const about = document.createElement('span');
    about.textContent = profile.description || '';
    const code = document.createElement('small');
    code.textContent = layoutWords(profile) + (profile.file ? `, from ${profile.file}` : '');
    label.append(box, name, code, about);
    item.append(label);
    list.append(item);
  });
}

function renderChosen() {
  const list = $('chosen-types');
  list.replaceChildren();
  for (const choice of state.chosen) {
    const item = document.createElement('li');
    item.textContent = `${choice.label} (0x${choice.code.toString(16)})`;
    const remove = makeButton('x', 'small', () => {
      state.chosen = state.chosen.filter((c) => c !== choice);
      renderTypeList();
      renderChosen();
      convertNow();
    });
    remove.setAttribute('aria-label', `Remove ${choice.label}`);
    item.append(' ', remove);
    list.append(item);
  }
}

async function addTypeCode() {
  const text = $('type-code').value.trim();
  const parsed = await engine.parseTypeCode(text);
  if (parsed === null) {
    showMessages($('convert-messages'), [`'${text}' is not a type code (decimal, 0x hexadecimal or 0 octal).`]);
    return;
  }
  if (parsed.fault) {
    showMessages($('convert-messages'), [parsed.fault]);
    return;
  }
  const { code } = parsed;
  state.chosen.push({ key: `code:${state.chosen.length}:${code}`, code, label: text });
  $('type-code').value = '';
  renderChosen();
  convertNow();
}

// The tone options and the coding as the engine's key words; every key is given, the
// defaults included.
function toneOptions() {
  const width = $('opt-width').value.trim();
  const height = $('opt-height').value.trim();
  // An empty background leaves each display type its profile's, as ztr without --background.
  const background = $('opt-background').value;
  return {
    tone: $('opt-tone').value,
    ...(background ? { background } : {}),
    threshold: $('opt-auto-threshold').checked ? 'auto' : $('opt-threshold').value.trim(),
    dither: $('opt-dither').value,
    invert: $('opt-invert').checked ? '1' : '0',
    resize: width && height ? `${width}x${height}` : '',
    fit: $('opt-fit').value,
    rotate: $('opt-rotate').value,
    mirror: $('opt-mirror').value,
    ...paletteOptions(),
    saturation: $('opt-saturation').value.trim(),
    coding: $('opt-coding').value,
  };
}

// The palette choice: the display types' own (none given), a built-in palette, an
// adaptive one of N colours, or a palette file.
function paletteOptions() {
  const choice = $('opt-palette').value;
  if (choice === 'adaptive') {
    return { palette: '', colours: $('opt-colours').value.trim() };
  }
  if (choice === 'file') {
    return { palette: state.paletteFile ? state.paletteFile.name : '', colours: '' };
  }
  return { palette: choice, colours: '' };
}

// The number of colours and the file field show only for the choices that take them.
function showPaletteFields() {
  const choice = $('opt-palette').value;
  $('opt-colours').hidden = choice !== 'adaptive';
  $('palette-file').hidden = choice !== 'file';
}

async function choosePaletteFile(fileList) {
  requestRun(); // reading the file comes before the conversion it leads to
  const [file] = fileList;
  const bytes = file ? await readFileBytes(file, $('convert-messages')) : null;
  if (file && !bytes) {
    readFailed();
    return;
  }
  state.paletteFile = file ? { name: file.name, bytes } : null;
  convertNow();
}

// A delay field: null when empty, NaN when it is not a whole number. Numbers far out of
// range are brought just outside it, where the engine refuses them with its own message.
function parseDelay(text) {
  if (text.trim() === '') {
    return null;
  }
  const delay = Number(text);
  return Number.isInteger(delay) ? Math.min(Math.max(delay, -1), state.words.maxDelay + 1) : NaN;
}

// The animation's common delay (null: a GIF keeps its own delays) and the pictures' own
// (null when none has one; -1 for a picture without).
function delays() {
  const common = parseDelay($('opt-delay').value);
  const own = state.pictures.map((p) => parseDelay(p.delay || ''));
  const given = own.some((d) => d !== null);
  return {
    common,
    own: given ? own.map((d) => (d === null ? -1 : d)) : null,
    valid: !Number.isNaN(common) && !own.some(Number.isNaN),
  };
}

function zoom() {
  return Number(document.querySelector('input[name="convert-zoom"]:checked').value);
}

// Converts with the current choices; runs once more when something changed meanwhile.
async function convertNow() {
  const run = requestRun();
  const box = $('convert-messages');
  stopPreviewPlaying();
  if (state.pictures.length === 0 || state.chosen.length === 0) {
    state.files = [];
    state.outcomes = [];
    markOutcomes();
    showMessages(box, []);
    await renderOutput();
    document.body.dataset.convertDone = String(run);
    return;
  }
  const delay = delays();
  // A profile whose settings cannot be read converts nothing.
  const unusable = state.chosen.find((c) => c.unusable);
  let result;
  if (!delay.valid) {
    result = { ok: false, messages: ['The delay is a whole number of milliseconds.'], files: [] };
  } else if (unusable) {
    result = { ok: false, messages: [`Display type '${unusable.label}': ${unusable.unusable}.`],
      files: [] };
  } else {
    result = await runConversion(state.pictures, state.chosen.map((c) => c.code),
      $('opt-animation').checked, delay.common, delay.own, toneOptions(),
      state.chosen.map((c) => ({ palette: c.palette || '', shows: c.shows || '' })),
      state.chosen.map((c) => c.background || ''),
      $('opt-palette').value === 'file' ? state.paletteFile : null);
  }
  if (run !== pending) {
    return;
  }
  const messages = result.cancelled ? ['The conversion was cancelled.'] : result.messages;
  showMessages(box, messages, result.ok ? 'note' : 'error');
  state.outcomes = result.outcomes || [];
  markOutcomes();
  state.files = result.ok ? result.files : [];
  for (const file of state.files) {
    file.records = await engine.listRecords(file.bytes);
  }
  await renderOutput();
  // The tests wait for the run they asked for to be drawn.
  document.body.dataset.convertDone = String(run);
}

// Runs one conversion in the worker, ending the one before it if that still runs; after
// PROGRESS_AFTER_MS it shows how far it has got, with a Cancel button.
async function runConversion(...args) {
  state.conversion?.cancel();
  const box = $('convert-progress');
  let shown = null;
  const show = (progress) => {
    shown = progress;
    if (!box.hidden) {
      drawProgress(progress);
    }
  };
  const conversion = engine.startConversion(...args, show);
  state.conversion = conversion;
  const timer = setTimeout(() => {
    box.hidden = false;
    drawProgress(shown);
  }, PROGRESS_AFTER_MS);
  const result = await conversion.done;
  clearTimeout(timer);
  if (state.conversion === conversion) {
    state.conversion = null;
    box.hidden = true;
  }
  return result;
}

// "Frame 12 of 200 of display type 1 of 2", and the whole conversion's share done.
function drawProgress(progress) {
  const bar = $('convert-progress-bar');
  const text = $('convert-progress-text');
  if (!progress) {
    bar.removeAttribute('value');
    text.textContent = 'Converting\u2026';
    return;
  }
  const { framesDone, frames, typesDone, types, picturesDone, pictures } = progress;
  const type = Math.min(typesDone + 1, types);
  const file = (typesDone + framesDone / Math.max(frames, 1)) / Math.max(types, 1);
  bar.value = (picturesDone + file) / Math.max(pictures, 1);
  text.textContent = `Frame ${framesDone} of ${frames} of display type ${type} of ${types}` +
    (pictures > 1 ? `, picture ${picturesDone + 1} of ${pictures}` : '');
}

// The bytes of a written file as the last conversion left them.
function writtenBytes(name) {
  return state.files.find((f) => f.name === name)?.bytes;
}

// The buttons stay in place while the same files are written again (a changed field
// converts on losing focus, which may be the click on Download); they fetch the bytes when
// clicked.
function renderDownloads() {
  const box = $('convert-downloads');
  const names = state.files.map((f) => f.name);
  const shown = [...box.querySelectorAll('button.download:not(.secondary)')].map((b) => b.dataset.file);
  if (names.join('/') !== shown.join('/')) {
    box.replaceChildren();
    for (const name of names) {
      const ztr = makeButton('', 'download', () => offerDownload(name, writtenBytes(name),
        'application/octet-stream'));
      ztr.dataset.file = name;
      const open = makeButton('Open in View', 'secondary', () => document.dispatchEvent(
        new CustomEvent('zentra-open', { detail: { name, bytes: writtenBytes(name) } })));
      const row = document.createElement('div');
      row.append(ztr, headerButton(name, () => writtenBytes(name)), open);
      box.append(row);
    }
  }
  for (const file of state.files) {
    box.querySelector(`button[data-file="${CSS.escape(file.name)}"]`).textContent =
      `Download ${file.name} (${file.bytes.length} bytes)`;
  }
}

// The full frame of every sequence in every written file, as the device shows it.
async function renderPreview() {
  const preview = $('preview');
  preview.replaceChildren();
  if (state.files.length === 0) {
    const hint = document.createElement('p');
    hint.className = 'hint';
    hint.textContent = state.pictures.length === 0 || state.chosen.length === 0
      ? 'Add a picture and choose a display type.'
      : 'Nothing was written.';
    preview.append(hint);
    return;
  }
  const invert = $('convert-invert-view').checked;
  for (const file of state.files) {
    for (let index = 0; index < file.records.length; ++index) {
      const record = file.records[index];
      if (record.delta) {
        continue;
      }
      const figure = document.createElement('figure');
      const canvas = document.createElement('canvas');
      canvas.dataset.file = file.name;
      canvas.dataset.record = String(index);
      const caption = document.createElement('figcaption');
      const decoded = await engine.decodeRecord(file.bytes, index, true);
      if (decoded.ok) {
        drawDecoded(canvas, decoded, zoom(), invert);
        figure.append(canvas);
      }
      caption.textContent = `${file.name} #${index}: ${record.text}` +
        (decoded.ok ? '' : ` (${decoded.message})`);
      figure.append(caption);
      figure.dataset.start = String(index);
      preview.append(figure);
    }
  }
}

function hasAnimation() {
  return state.files.some((f) => f.records.some((r) => r.delta));
}

function stopPreviewPlaying() {
  if (state.stopPlaying) {
    state.stopPlaying.forEach((stop) => stop());
    state.stopPlaying = null;
    $('convert-play').textContent = 'Play';
  }
}

// Every sequence of the preview plays at once, each frame built up with its delay by a
// player of its own, which draws each frame over the one before.
function togglePreviewPlaying() {
  if (state.stopPlaying) {
    stopPreviewPlaying();
    renderPreview();
    return;
  }
  const invert = $('convert-invert-view').checked;
  state.stopPlaying = [];
  for (const canvas of $('preview').querySelectorAll('canvas')) {
    const file = state.files.find((f) => f.name === canvas.dataset.file);
    const start = Number(canvas.dataset.record);
    const player = engine.openPlayer(file.bytes);
    const stop = playRecords(file.records, start, async (index) => {
      const decoded = await player.show(index);
      if (decoded?.ok) {
        drawDecoded(canvas, decoded, zoom(), invert);
        canvas.dataset.shown = String(index);
        canvas.nextElementSibling.textContent = `${file.name} #${index}: ${file.records[index].text}`;
      }
    });
    state.stopPlaying.push(() => {
      stop();
      player.close();
    });
  }
  $('convert-play').textContent = 'Stop';
}

async function renderOutput() {
  renderDownloads();
  await renderPreview();
  $('convert-play').disabled = !hasAnimation();
}

// A user's own profile file: its profiles join the bundled ones, after them, and replace
// those of the file loaded before; a line with a fault shows ztr's warning for it.
async function loadProfileFile(fileList) {
  const [file] = fileList;
  if (!file) {
    return;
  }
  const text = await file.text();
  const { profiles, warnings } = await engine.profilesFromText(text, file.name);
  const own = profiles.map((profile, index) => ({ ...profile, key: `own:${file.name}:${index}`,
    file: file.name }));
  state.profiles = [...state.bundled, ...own];
  const before = state.chosen.length;
  state.chosen = state.chosen.filter((c) => !c.key.startsWith('own:') ||
    own.some((p) => p.key === c.key && p.code === c.code));
  const notes = [...warnings,
    `${own.length} display type${own.length === 1 ? '' : 's'} from ${file.name}.`];
  showMessages($('profile-messages'), notes, warnings.length ? 'error' : 'note');
  renderTypeList();
  renderChosen();
  if (state.chosen.length !== before) {
    convertNow();
  }
}

function addOption(select, value, label, before = null) {
  const option = document.createElement('option');
  option.value = value;
  option.textContent = label;
  select.insertBefore(option, before);
}

// The controls that show the engine's words and limits take them from the engine: the
// pictures it reads, the delay and side limits, the default threshold, the dithering
// methods and the built-in palettes (between "the display type's own" and "adaptive").
function fillEngineControls(words) {
  $('picture-input').accept = `${words.pictureExtensions},image/*`;
  $('opt-delay').max = String(words.maxDelay);
  $('opt-threshold').value = String(words.defaultThreshold);
  $('opt-width').max = String(words.maxSide);
  $('opt-height').max = String(words.maxSide);
  for (const method of words.dithers) {
    addOption($('opt-dither'), method.word, method.label);
  }
  const adaptive = $('opt-palette').querySelector('option[value="adaptive"]');
  for (const palette of words.palettes) {
    addOption($('opt-palette'), palette.name, `${palette.name}: ${palette.colours}`, adaptive);
  }
}

export async function startConvertTab() {
  state.words = await engine.engineWords();
  fillEngineControls(state.words);
  state.bundled = (await engine.profiles()).map((profile, index) => ({ ...profile,
    key: `profile:${index}` }));
  state.profiles = state.bundled;
  renderTypeList();
  renderPictureList();
  $('picture-input').addEventListener('change', async (event) => {
    await addPictures(event.target.files);
    event.target.value = '';
  });
  watchDrop($('picture-drop'), addPictures);
  $('picture-clear').addEventListener('click', () => {
    state.pictures = [];
    renderPictureList();
    convertNow();
  });
  $('type-search').addEventListener('input', renderTypeList);
  $('profile-file').addEventListener('change', (event) => loadProfileFile(event.target.files));
  $('type-code-add').addEventListener('click', addTypeCode);
  $('type-code').addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      addTypeCode();
    }
  });
  for (const input of $('tone-options').querySelectorAll('input, select')) {
    if (input.id !== 'palette-file') {
      input.addEventListener('change', convertNow);
    }
  }
  $('palette-file').addEventListener('change', (event) => choosePaletteFile(event.target.files));
  $('opt-palette').addEventListener('change', showPaletteFields);
  showPaletteFields();
  $('opt-animation').addEventListener('change', showFrameDelays);
  $('opt-auto-threshold').addEventListener('change', () => {
    $('opt-threshold').disabled = $('opt-auto-threshold').checked;
  });
  for (const input of document.querySelectorAll('input[name="convert-zoom"], #convert-invert-view')) {
    input.addEventListener('change', () => {
      stopPreviewPlaying();
      renderPreview();
    });
  }
  $('convert-play').addEventListener('click', togglePreviewPlaying);
  $('convert-cancel').addEventListener('click', () => state.conversion?.cancel());
}
