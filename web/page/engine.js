// The engine as the page uses it: the WebAssembly module built from the same C++ sources
// as ztr, loaded once for listing, decoding and playing, and once more in a worker for
// conversions, which may take long. A call that fails inside the module (an abort) is
// turned into a message and the module is loaded afresh for the next call, so the page
// keeps working.
import createZentra from './zentra_web.mjs';

let module = null;

export async function loadEngine() {
  module = await createZentra({
    print: () => {},
    printErr: () => {},
  });
  return module;
}

async function call(name, ...args) {
  if (!module) {
    await loadEngine();
  }
  try {
    return module[name](...args);
  } catch (error) {
    module = null;
    throw new Error(`The engine stopped (${error.message || error}); it has been reloaded.`);
  }
}

// [{name, layout, depth, description, text, code, palette}] in the order of displays.prf;
// palette is the profile's colours as "#RRGGBB,..." or "".
export const profiles = () => call('profiles');

// The engine's words and limits for the page's controls: {maxDelay, maxSide,
// defaultThreshold, dithers: [{word, label}], palettes: [{name, colours}],
// pictureExtensions}.
export const engineWords = () => call('engineWords');

// The message for a file that the browser could not read, with the browser's reason.
export const cannotReadText = (file, reason) => call('cannotReadText', file, reason);

// A type code written as ztr --code takes it, or null.
export const parseTypeCode = (text) => call('parseTypeCode', text);

// The profiles of a user's own profile file: {profiles (as profiles() gives them),
// warnings: [text]}, the warnings as ztr prints them for a file of that name.
export const profilesFromText = (text, name) => call('profilesFromText', text, name);

// The conversion worker, started on first use and ended to cancel a conversion: a
// conversion runs in one call of the engine, during which the worker reads no message, so
// ending it is the one way to stop it at once (a shared flag would need the page served
// cross-origin isolated). The next conversion starts a new worker.
let worker = null;
let running = null; // {id, resolve, onProgress} of the conversion in the worker
let conversions = 0;

const CANCELLED = { ok: false, cancelled: true, messages: [], outcomes: [], files: [] };

function endWorker(answer) {
  if (worker) {
    worker.terminate();
    worker = null;
  }
  if (running) {
    running.resolve(answer);
    running = null;
  }
}

function conversionWorker() {
  if (!worker) {
    worker = new Worker(new URL('./conversion_worker.js', import.meta.url), { type: 'module' });
    worker.onmessage = (event) => {
      const { id, progress, result, error } = event.data;
      if (!running || running.id !== id) {
        return;
      }
      if (progress) {
        running.onProgress(progress);
      } else if (result) {
        running.resolve(result);
        running = null;
      } else {
        endWorker({ ok: false, cancelled: false, files: [],
          messages: [`The engine stopped (${error}); it has been reloaded.`] });
      }
    };
    worker.onerror = (event) => {
      event.preventDefault();
      endWorker({ ok: false, cancelled: false, files: [],
        messages: [`The conversion engine could not run (${event.message || 'no reason given'}).`] });
    };
  }
  return worker;
}

// Starts a conversion in the worker, ending any other still running (it resolves as
// cancelled). Returns {done, cancel}: done resolves to {ok, cancelled, messages: [text],
// outcomes: [{code, detail, file, numbers, words, reason, warning}], files: [{name, bytes}]}; onProgress gets {framesDone, frames, typesDone, types,
// picturesDone, pictures} after every frame written. delay null: a GIF's own delays;
// ownDelays null, or a delay per picture (-1: the common one); palettes, each type's
// profile palette ("" for none), or {palette, shows} with the colours its panel shows;
// backgrounds, each type's profile background ("white", "black", "" for none), taken when
// tone has no background; paletteFile null, or {name, bytes} that tone.palette names.
export function startConversion(pictures, codes, animation, delay, ownDelays, tone, palettes,
  backgrounds, paletteFile, onProgress = () => {}) {
  endWorker(CANCELLED);
  const id = ++conversions;
  const done = new Promise((resolve) => {
    running = { id, resolve, onProgress };
  });
  conversionWorker().postMessage({ id, args: [pictures, codes, animation, delay, ownDelays, tone,
    palettes, backgrounds, paletteFile] });
  return {
    done,
    cancel() {
      if (running && running.id === id) {
        endWorker(CANCELLED);
      }
    },
  };
}

// [{text, width, height, depth, layout, delta, delay, dx, dy, next, time}].
export const listRecords = (bytes) => call('listRecords', bytes);

// {ok, message, width, height, depth, rgba}.
export const decodeRecord = (bytes, index, buildUp) => call('decodeRecord', bytes, index, buildUp);

// Record index as a panel of every lay-out of its size and depth shows its bytes:
// [{layout, code, ok, message, width, height, depth, rgba}], its own lay-out among them.
export const layoutView = (bytes, index) => call('layoutView', bytes, index);

// The C header text of a Zentra file, as ztr export writes it.
export const exportHeader = (bytes, fileName) => call('exportHeader', bytes, fileName);

// A player of one Zentra file's records: show(index) resolves to what
// decodeRecord(bytes, index, true) gives, drawing a delta record over the frame shown
// before it, so that playing costs each frame its own record. The engine keeps its own
// copy of the bytes until close(); after close() show resolves to null. Should the engine
// be reloaded, the player starts afresh in the new one.
export function openPlayer(bytes) {
  let player = null;
  let owner = null;
  let closed = false;
  const release = () => {
    if (player && owner === module) {
      player.delete();
    }
    player = null;
    owner = null;
  };
  return {
    async show(index) {
      if (closed) {
        return null;
      }
      if (!module) {
        await loadEngine();
      }
      try {
        if (owner !== module) {
          player = new module.Player(bytes);
          owner = module;
        }
        return player.show(index);
      } catch (error) {
        module = null;
        player = null;
        owner = null;
        throw new Error(`The engine stopped (${error.message || error}); it has been reloaded.`);
      }
    },
    close() {
      closed = true;
      release();
    },
  };
}
