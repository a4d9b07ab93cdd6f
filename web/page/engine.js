// The engine as the page uses it: the WebAssembly module built from the same C++ sources
// as ztr, loaded once. A call that fails inside the module (an abort) is turned into a
// message and the module is loaded afresh for the next call, so the page keeps working.
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

// A type code written as ztr --code takes it, or null.
export const parseTypeCode = (text) => call('parseTypeCode', text);

// {ok, messages: [text], files: [{name, bytes}]}. delay null: a GIF's own delays;
// ownDelays null, or a delay per picture (-1: the common one); palettes, each type's
// profile palette ("" for none); paletteFile null, or {name, bytes} that tone.palette names.
export const convert = (pictures, codes, animation, delay, ownDelays, tone, palettes, paletteFile) =>
  call('convert', pictures, codes, animation, delay, ownDelays, tone, palettes, paletteFile);

// [{text, width, height, depth, layout, delta, delay, dx, dy, next, time}].
export const listRecords = (bytes) => call('listRecords', bytes);

// {ok, message, width, height, depth, rgba}.
export const decodeRecord = (bytes, index, buildUp) => call('decodeRecord', bytes, index, buildUp);

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
