"use strict";
// The model on view and its pictures' elements. A live page (served by
// flipdeck-kit watch) replaces both in place when the animation changes.
let preview = JSON.parse(document.getElementById("model").textContent);
let pictures = [];
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
  // Screen pixels per picture pixel: kept across updates, so that a new
  // picture does not resize the player under the artist's eyes; a page
  // that had no picture yet takes the first model's.
  scale: preview.scale,
  fitted: preview.pictures.length > 0,
  shown: false,     // whether a frame or a cell has been shown yet
  updates: 0,       // the updates a live page has taken
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
  DrawPicture(stage, show.picture, state.scale, 8);
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
  state.shown = true;
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
  state.shown = true;
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
  const holder = ById("grid");
  holder.replaceChildren();
  ById("camera").hidden = !grid;
  if (!grid) return;
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

// check's report on the animation on view, a line a message.
function Messages() {
  const messages = preview.messages || [];
  ById("messages").hidden = !messages.length;
  ById("message-lines").textContent = messages.join("\n");
}

// The panel over the player while the animation does not convert: check's
// messages; the player keeps the last animation that did.
function ShowProblems(problems) {
  ById("problems").hidden = !problems.length;
  // Before anything has been shown there is no animation to keep: the
  // player would only describe an empty one.
  ById("player").hidden = problems.length > 0 && !state.shown;
  ById("problems-title").textContent = state.shown
    ? "The last save does not convert: the player shows the last one that did."
    : "The animation does not convert: it shows here once it does.";
  ById("problem-lines").textContent = problems.join("\n");
}

// The pictures of `model` as elements to draw: the page's own images, or
// for a model that carries its pictures (a live page's) new ones, decoded
// before the promise settles so that they draw at once.
function LoadPictures(model) {
  return Promise.all(model.pictures.map((picture, i) => {
    if (!("uri" in picture)) return ById("picture" + i);
    if (!picture.uri) return null;  // an image without pixels: nothing to draw
    const image = new Image();
    image.src = picture.uri;
    return image.decode().then(() => image);
  }));
}

// Everything the page shows of the model but the frame: the title, the
// player's size and controls, the notes, the messages and the camera grid.
function Apply() {
  document.title = preview.title;
  ById("title").textContent = preview.title;
  if (!state.fitted && preview.pictures.length) {
    state.scale = preview.scale;
    state.fitted = true;
  }
  let width = 1;
  let height = 1;
  for (const picture of preview.pictures) {
    width = Math.max(width, Math.round(picture.width * state.scale));
    height = Math.max(height, Math.round(picture.height * state.scale));
  }
  stage.width = width;
  stage.height = height;
  ById("scrub").max = Math.max(0, preview.cycle - 1);
  for (const control of ["back", "play", "forward", "loop", "scrub"]) {
    ById(control).disabled = !preview.cycle;
  }
  Notes();
  Messages();
  BuildGrid();
}

// What a fresh page shows: the fragment's frame or cell, else the pass
// playing from frame 0, else the first camera cell.
function Begin() {
  if (FollowFragment()) return;
  if (preview.cycle) {
    ShowFrame(0);
    Play();
  } else if (preview.grid && preview.grid.cells.length) {
    ShowCell(preview.grid.cells[0]);
  }
}

// After a new model: the same camera cell or frame as before, playing or
// paused as before (a frame past the new pass comes round again).
function Resume() {
  if (!state.shown) {
    Begin();
    return;
  }
  const cell = state.cell && preview.grid &&
      preview.grid.cells.find((c) => c.x === state.cell.x && c.y === state.cell.y);
  if (cell) {
    ShowCell(cell);
  } else if (preview.cycle) {
    ShowFrame(state.frame);
  } else {
    // Nothing of the new animation plays or sits on a cell.
    Pause();
    stage.getContext("2d").clearRect(0, 0, stage.width, stage.height);
  }
}

// Takes one message of the event stream: a new model when the animation
// converts, and the problems (none then) that the panel lists.
function Update(message) {
  const loading = message.model ? LoadPictures(message.model) : Promise.resolve(null);
  return loading.then((images) => {
    if (images) {
      preview = message.model;
      pictures = images;
      Apply();
      Resume();
    }
    ShowProblems(message.problems);
    state.updates += 1;
    document.documentElement.dataset.updates = state.updates;
    document.dispatchEvent(new CustomEvent("flipdeck-update", {detail: state.updates}));
  });
}

// A live page follows its server's event stream; a written page has no
// live state and makes no request.
function Listen() {
  const element = ById("live");
  if (!element) return;
  const live = JSON.parse(element.textContent);
  ShowProblems(live.problems);
  let updating = Promise.resolve();
  const source = new EventSource(live.events);
  source.addEventListener("update", (event) => {
    const message = JSON.parse(event.data);
    // In order, each once its pictures are decoded.
    updating = updating.then(() => Update(message), () => Update(message));
  });
}

function Start() {
  ById("fps").value = preview.fps;
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

  LoadPictures(preview).then((images) => {
    pictures = images;
    Apply();
    Begin();
    Listen();
  });
}

// The pictures are elements of the page, so they are decoded when it has
// loaded.
window.addEventListener("load", Start);
