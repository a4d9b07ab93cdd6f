// The conversion worker: a module worker with an engine of its own, so that a long
// conversion leaves the page free to answer. It takes {id, args} (the arguments of the
// engine's convert) and answers {id, progress} after every frame written and {id, result}
// at the end, or {id, error} when the engine stopped. The page cancels a conversion by
// ending this worker.
import createZentra from './zentra_web.mjs';

const ready = createZentra({ print: () => {}, printErr: () => {} });

self.onmessage = async (event) => {
  const { id, args } = event.data;
  try {
    const engine = await ready;
    const result = engine.convert(...args, (progress) => {
      self.postMessage({ id, progress });
      return true;
    });
    self.postMessage({ id, result }, result.files.map((file) => file.bytes.buffer));
  } catch (error) {
    self.postMessage({ id, error: String(error.message || error) });
  }
};
