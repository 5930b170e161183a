"use strict";
const preview = JSON.parse(document.getElementById("model").textContent);
const pictures = preview.pictures.map((picture, i) => document.getElementById("picture" + i));
const stage = document.getElementById("stage");
// Grids beyond this many positions are listed by their filled cells: a
// table of millions of empty positions would only stall the browser.
const kMostTableCells = 65536;
// The side a camera thumbnail fits in, in screen pixels.
const kThumbSide = 40;

const state = {
  frame: 0,         // the frame on view, 0 .. cycle - 1
  cell: null,       // the camera cell on view instead, or null
  playing: false,
  request: 0,       // the pending animation frame request while playing
  startTime: 0,     // when playing began, and from which frame
  startFrame: 0,
  fps: preview.fps,
};

function ById(id) { return document.getElementById(id); }

// The step on view at `frame` of the pass: the last one that begins at or
// before it.
function StepAt(frame) {
  let low = 0;
  let high = preview.steps.length - 1;
  while (low < high) {
    const middle = Math.ceil((low + high) / 2);
    if (preview.steps[middle].first <= frame) low = middle; else high = middle - 1;
  }
  return preview.steps[low];
}

// Frame `frame` as the player reaches it from frame 0: the pass repeats.
function InPass(frame) {
  return ((frame % preview.cycle) + preview.cycle) % preview.cycle;
}

// A checkerboard of white and light grey squares of `side` pixels, the
// first one grey: transparent pixels show it.
function Checker(context, side) {
  const tile = document.createElement("canvas");
  tile.width = tile.height = 2 * side;
  const tileContext = tile.getContext("2d");
  tileContext.fillStyle = "#ffffff";
  tileContext.fillRect(0, 0, 2 * side, 2 * side);
  tileContext.fillStyle = "#cccccc";
  tileContext.fillRect(0, 0, side, side);
  tileContext.fillRect(side, side, side, side);
  return context.createPattern(tile, "repeat");
}

// Draws picture `index` at the top left corner of `canvas`, each picture
// pixel `scale` screen pixels, over a checkerboard of `checker` pixels.
function DrawPicture(canvas, index, scale, checker) {
  const context = canvas.getContext("2d");
  const picture = preview.pictures[index];
  const width = Math.max(1, Math.round(picture.width * scale));
  const height = Math.max(1, Math.round(picture.height * scale));
  context.clearRect(0, 0, canvas.width, canvas.height);
  if (!picture.width || !picture.height) return;  // an image without pixels
  context.fillStyle = Checker(context, checker);
  context.fillRect(0, 0, width, height);
  context.imageSmoothingEnabled = false;
  context.drawImage(pictures[index], 0, 0, width, height);
}

function ShowPicture(where, key, show) {
  const picture = preview.pictures[show.picture];
  DrawPicture(stage, show.picture, preview.scale, 8);
  ById("frame").textContent = where;
  ById("key").textContent = key;
  const parameter = show.param ? " (parameter " + show.param + ")" : "";
  ById("picture").textContent = show.name + parameter;
  ById("project").textContent = show.project + ": " + show.tpf;
  ById("tmf").textContent = picture.tmf;
  ById("tlf").textContent = picture.tlf;
  let size = picture.width + " \u00d7 " + picture.height + ", " + picture.bits + " bits a pixel";
  if (picture.height !== picture.declaredHeight) {
    size += " (the image has " + picture.declaredHeight + " rows; its C array holds these)";
  }
  ById("size").textContent = size;
}

function ShowFrame(frame) {
  if (!preview.cycle) return;
  MarkCell(null);
  state.frame = InPass(frame);
  const step = StepAt(state.frame);
  ById("scrub").value = state.frame;
  const where = state.frame + " of frames 0 to " + (preview.cycle - 1) + " (FRAME_LENGTH " +
      preview.frameLength + ")";
  ShowPicture(where, step.key + ", from frame " + step.keyFrame + " for " + step.frames, step);
}

function ShowCell(cell) {
  Pause();
  MarkCell(cell);
  ShowPicture("camera position " + cell.x + ", " + cell.y, cell.key, cell);
}

function MarkCell(cell) {
  if (state.cell && state.cell.element) state.cell.element.classList.remove("on");
  state.cell = cell;
  if (cell && cell.element) cell.element.classList.add("on");
}

function Play() {
  if (!preview.cycle) return;
  if (state.cell) ShowFrame(state.frame);
  if (!ById("loop").checked && state.frame === preview.cycle - 1) ShowFrame(0);
  state.playing = true;
  state.startTime = performance.now();
  state.startFrame = state.frame;
  ById("play").textContent = "Pause";
  cancelAnimationFrame(state.request);
  state.request = requestAnimationFrame(Tick);
}

function Pause() {
  state.playing = false;
  cancelAnimationFrame(state.request);
  ById("play").textContent = "Play";
}

function Toggle() { if (state.playing) Pause(); else Play(); }

function Step(by) {
  Pause();
  ShowFrame(state.frame + by);
}

// The frame that is due is counted from when playing began, so a slow
// screen drops frames instead of slowing the animation down.
function Tick(now) {
  if (!state.playing) return;
  const due = state.startFrame + Math.floor(Math.max(0, now - state.startTime) * state.fps / 1000);
  if (due >= preview.cycle && !ById("loop").checked) {
    ShowFrame(preview.cycle - 1);
    Pause();
    return;
  }
  if (InPass(due) !== state.frame) ShowFrame(due);
  state.request = requestAnimationFrame(Tick);
}

function SetFps(fps) {
  if (!(fps >= 1)) return;
  state.fps = fps;
  // Playing goes on from the frame on view, at the new rate.
  state.startTime = performance.now();
  state.startFrame = state.frame;
}

// A thumbnail of the cell's picture that fits kThumbSide, whole pixels
// where it can.
function Thumbnail(cell) {
  const picture = preview.pictures[cell.picture];
  const fit = kThumbSide / Math.max(picture.width, picture.height, 1);
  const scale = fit >= 1 ? Math.floor(fit) : fit;
  const canvas = document.createElement("canvas");
  canvas.width = Math.max(1, Math.round(picture.width * scale));
  canvas.height = Math.max(1, Math.round(picture.height * scale));
  DrawPicture(canvas, cell.picture, scale, 4);
  return canvas;
}

function Describe(cell) { return cell.key + ": " + cell.name + " (project " + cell.project + ")"; }

function AddCellElement(element, cell) {
  cell.element = element;
  element.title = Describe(cell);
  element.appendChild(Thumbnail(cell));
  element.addEventListener("click", () => ShowCell(cell));
}

function BuildGrid() {
  const grid = preview.grid;
  if (!grid) return;
  ById("camera").hidden = false;
  const holder = ById("grid");
  const positions = grid.columns * grid.rows;
  ById("camera-note").textContent = grid.columns + " \u00d7 " + grid.rows + " positions, " +
      grid.cells.length + " filled. Hover over a cell for its key; click it to show its picture.";
  if (positions > kMostTableCells) {
    ById("camera-note").textContent +=
        " Too many positions for a table: the filled ones follow.";
    const list = document.createElement("ul");
    for (const cell of grid.cells) {
      const item = document.createElement("li");
      AddCellElement(item, cell);
      item.appendChild(document.createElement("br"));
      item.appendChild(document.createTextNode(cell.x + ", " + cell.y));
      list.appendChild(item);
    }
    holder.appendChild(list);
    return;
  }
  const filled = new Map(grid.cells.map((cell) => [cell.y * grid.columns + cell.x, cell]));
  const table = document.createElement("table");
  const head = table.insertRow();
  head.appendChild(document.createElement("th"));
  for (let x = 0; x < grid.columns; ++x) {
    const th = document.createElement("th");
    th.textContent = x;
    head.appendChild(th);
  }
  for (let y = 0; y < grid.rows; ++y) {
    const row = table.insertRow();
    const th = document.createElement("th");
    th.textContent = y;
    row.appendChild(th);
    for (let x = 0; x < grid.columns; ++x) {
      const td = row.insertCell();
      const cell = filled.get(y * grid.columns + x);
      if (!cell) continue;
      td.className = "filled";
      AddCellElement(td, cell);
    }
  }
  holder.appendChild(table);
}

// "#frame=N" shows frame N paused; "#cam=X,Y" the picture of camera cell
// X, Y. False when the fragment asks for neither.
function FollowFragment() {
  const fragment = new URLSearchParams(location.hash.slice(1));
  if (fragment.has("cam") && preview.grid) {
    const [x, y] = fragment.get("cam").split(",").map(Number);
    const cell = preview.grid.cells.find((c) => c.x === x && c.y === y);
    if (cell) {
      ShowCell(cell);
      return true;
    }
  }
  if (fragment.has("frame") && preview.cycle) {
    Pause();
    ShowFrame(Math.trunc(Number(fragment.get("frame"))) || 0);
    return true;
  }
  return false;
}

function Notes() {
  const notes = [];
  if (!preview.sequence) notes.push("FRAME_ANIM is off: there is no frame sequence.");
  else if (!preview.cycle) notes.push("No key frame shows for a frame: there is nothing to play.");
  if (preview.cycle > preview.frameLength) {
    notes.push("The last key frame lies beyond FRAME_LENGTH: a pass takes " + preview.cycle +
               " frames.");
  }
  for (const skip of preview.skipped) {
    notes.push(skip.key + " shows for " + skip.frames + " frames: the player passes over it.");
  }
  ById("notes").textContent = notes.join(" ");
}

function Start() {
  document.title = preview.title + ": flipdeck-kit preview";
  ById("title").textContent = preview.title;
  let width = 1;
  let height = 1;
  for (const picture of preview.pictures) {
    width = Math.max(width, Math.round(picture.width * preview.scale));
    height = Math.max(height, Math.round(picture.height * preview.scale));
  }
  stage.width = width;
  stage.height = height;
  ById("scrub").max = Math.max(0, preview.cycle - 1);
  ById("fps").value = preview.fps;
  for (const control of ["back", "play", "forward", "loop", "scrub"]) {
    ById(control).disabled = !preview.cycle;
  }
  Notes();
  BuildGrid();

  ById("play").addEventListener("click", Toggle);
  ById("back").addEventListener("click", () => Step(-1));
  ById("forward").addEventListener("click", () => Step(1));
  ById("scrub").addEventListener("input", (event) => {
    Pause();
    ShowFrame(Number(event.target.value));
  });
  ById("fps").addEventListener("change", (event) => SetFps(Number(event.target.value)));
  // The player's keys work wherever the focus is, except while typing a
  // frame rate; the slider moves by the arrow keys itself.
  document.addEventListener("keydown", (event) => {
    if (event.target === ById("fps") || event.altKey || event.ctrlKey || event.metaKey) return;
    if (event.key === " ") {
      event.preventDefault();
      Toggle();
    } else if (event.target !== ById("scrub") && event.key === "ArrowLeft") {
      event.preventDefault();
      Step(-1);
    } else if (event.target !== ById("scrub") && event.key === "ArrowRight") {
      event.preventDefault();
      Step(1);
    }
  });
  window.addEventListener("hashchange", FollowFragment);

  if (FollowFragment()) return;
  if (preview.cycle) {
    ShowFrame(0);
    Play();
  } else if (preview.grid && preview.grid.cells.length) {
    ShowCell(preview.grid.cells[0]);
  }
}

// The pictures are elements of the page, so they are decoded when it has
// loaded.
window.addEventListener("load", Start);
