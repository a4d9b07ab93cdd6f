// Drawing a decoded record on a canvas as the device shows it: every pixel repeated
// zoom x zoom times (no smoothing, no browser scaling), colours complemented when inverted.

export function drawDecoded(canvas, decoded, zoom, invert) {
  const { width, height, rgba } = decoded;
  canvas.width = width * zoom;
  canvas.height = height * zoom;
  const context = canvas.getContext('2d');
  const image = context.createImageData(canvas.width, canvas.height);
  const out = image.data;
  const flip = invert ? 0xff : 0x00;
  const outRow = canvas.width * 4;
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const from = (y * width + x) * 4;
      const red = rgba[from] ^ flip;
      const green = rgba[from + 1] ^ flip;
      const blue = rgba[from + 2] ^ flip;
      for (let dy = 0; dy < zoom; ++dy) {
        let to = (y * zoom + dy) * outRow + x * zoom * 4;
        for (let dx = 0; dx < zoom; ++dx, to += 4) {
          out[to] = red;
          out[to + 1] = green;
          out[to + 2] = blue;
          out[to + 3] = 0xff;
        }
      }
    }
  }
  context.putImageData(image, 0, 0);
}

// Plays a file's animation from record `start`: each record stands for its time, then the
// one the engine names as next (after the last delta record, the full frame again).
// show(index) draws a record; returns a function that stops the playing.
export function playRecords(records, start, show) {
  let index = start;
  let timer = 0;
  const step = () => {
    show(index);
    const time = records[index].time;
    index = records[index].next;
    timer = setTimeout(step, time);
  };
  step();
  return () => clearTimeout(timer);
}
