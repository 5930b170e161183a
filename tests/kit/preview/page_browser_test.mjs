// flipdeck-kit's page as an artist meets it, open in Debian's Chromium
// (driven by playwright-core): preview's page as a file, and the page watch
// serves while the walk example's files and PNG art are saved the ways
// editors save them.
//
//   node page_browser_test.mjs CHROMIUM KIT SOURCE_DIR
//
// Run through tools/browser/run.sh, which skips it, saying what is
// missing, where node, playwright-core (from tools/browser) or Chromium is
// not installed.
import assert from "node:assert/strict";
import { execFileSync, spawn } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";
import { pathToFileURL } from "node:url";

const [chromiumPath, kit, source] = process.argv.slice(2);
const { chromium } = await import(
  pathToFileURL(path.join(source, "tools/browser/node_modules/playwright-core/index.mjs")).href);
const kScale = 8;  // screen pixels per picture pixel: the canvas at (64, 64) shows pixel (8, 8)
const kFiles = ["walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf", "walk1.png",
  "walk2.png"];

const dir = fs.mkdtempSync(path.join(os.tmpdir(), "flipdeck-watch-"));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "flipdeck-watch-art-"));
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "flipdeck-chromium-"));
const original = {};
let watch;
let url;
let browser;
let page;

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const file = (name) => path.join(dir, name);

// Saves as an editor that writes a temporary file and renames it does.
function SaveByRename(name, bytes) {
  fs.writeFileSync(file("." + name + ".swp"), bytes);
  fs.renameSync(file("." + name + ".swp"), file(name));
}

// walk1.tmf, a 16 x 16 4-bit image, with pixel i made `indexOf(i)`. It
// keeps what walk1.tmf records of walk1.png, as an image edited by hand
// does: else watch would make it again from the PNG at once.
function Tmf(indexOf) {
  const bytes = Buffer.from(original["walk1.tmf"]);
  for (let i = 0; i < 128; ++i) bytes[64 + i] = (indexOf(2 * i) << 4) | indexOf(2 * i + 1);
  return bytes;
}
const PlainTmf = (index) => Tmf(() => index);

// The PNG of a TMF image through `tlf`, as flipdeck-kit export writes it.
function Png(tmf, tlf) {
  fs.writeFileSync(path.join(scratch, "art.tmf"), tmf);
  fs.writeFileSync(path.join(scratch, "art.tlf"), tlf);
  execFileSync(kit, ["export", "art.tmf", "art.tlf", "-o", "art.png", "--force"], {cwd: scratch});
  return fs.readFileSync(path.join(scratch, "art.png"));
}

// walk.tlf with its 16 entries made 16 other opaque colours.
function OtherPalette() {
  const other = Buffer.from(original["walk.tlf"]);
  for (let i = 0; i < 16; ++i) other.writeUInt16BE(0x4001 + 2 * i, 64 + 2 * i);
  return other;
}

// Entry `index` of `tlf` (walk.tlf if not given) as the page draws it:
// 5551 widened to 8 bits; null where its alpha bit hides it.
function PaletteColour(index, tlf = original["walk.tlf"]) {
  const entry = tlf.readUInt16BE(64 + 2 * index);
  const widen = (c) => (c << 3) | (c >> 2);
  return entry & 1 ? [widen(entry >> 11), widen((entry >> 6) & 31), widen((entry >> 1) & 31)]
    : null;
}

// The colours a 16 x 16 4-bit TMF image shows through `tlf`, row by row from
// the top: the file holds its rows from the bottom, the left pixel of a pair
// in the high nibble.
function Picture(tmf, tlf) {
  const colours = [];
  for (let y = 0; y < 16; ++y) {
    for (let x = 0; x < 16; ++x) {
      const byte = tmf[64 + 8 * (15 - y) + (x >> 1)];
      colours.push(PaletteColour(x & 1 ? byte & 15 : byte >> 4, tlf));
    }
  }
  return colours;
}

// Whether the stage of `on` shows `picture` at `scale`: each pixel its
// colour, or the checkerboard's white or grey where it is hidden.
async function StageShows(on, picture, scale) {
  const seen = await on.evaluate((s) => {
    const context = document.getElementById("stage").getContext("2d");
    const pixels = [];
    for (let y = 0; y < 16; ++y) {
      for (let x = 0; x < 16; ++x) {
        pixels.push(Array.from(context.getImageData(x * s + s / 2, y * s + s / 2, 1, 1).data
          .slice(0, 3)));
      }
    }
    return pixels;
  }, scale);
  return picture.every((colour, i) => colour ? colour.every((c, k) => c === seen[i][k])
    : seen[i].every((c) => c === seen[i][0]) && [0xcc, 0xff].includes(seen[i][0]));
}

const Updates = () => page.evaluate(() => Number(document.documentElement.dataset.updates || 0));

// Waits for the page to take one update more than `seen`, then a while
// longer, and returns how many it took in all.
async function UpdatesAfter(seen) {
  await page.waitForFunction(
    (n) => Number(document.documentElement.dataset.updates || 0) > n, seen, {timeout: 5000});
  await sleep(400);
  return (await Updates()) - seen;
}

const Shown = () => page.evaluate(() => ({
  frame: document.getElementById("frame").textContent,
  playing: document.getElementById("play").textContent === "Pause",
  problems: document.getElementById("problems").hidden ? null
    : document.getElementById("problem-lines").textContent,
  messages: document.getElementById("messages").hidden ? null
    : document.getElementById("message-lines").textContent,
  width: document.getElementById("stage").width,
  centre: Array.from(document.getElementById("stage").getContext("2d")
    .getImageData(64, 64, 1, 1).data.slice(0, 3)),
  steps: preview.steps.map((step) => preview.pictures[step.picture].tmf + "@" + step.tpf),
}));

// Starts watch in the project's folder; resolves with the process and the
// address it printed.
function StartWatch(args, env = process.env) {
  const child = spawn(kit, ["watch", "walk.taf", ...args], {cwd: dir, env});
  child.stderrText = "";
  child.stderr.on("data", (data) => { child.stderrText += data; });
  return new Promise((resolve, reject) => {
    let out = "";
    child.stdout.on("data", (data) => {
      out += data;
      const address = out.match(/http:\/\/\S+\//);
      if (address) resolve({child, address: address[0]});
    });
    child.on("exit", (code) => reject(new Error("watch ended (" + code + "): " + child.stderrText)));
  });
}

// Ctrl-C (or `signal`), and the exit status it ends with.
function Interrupt(child, signal = "SIGINT") {
  return new Promise((resolve) => {
    child.on("close", (code, ended) => resolve(ended || code));
    child.kill(signal);
  });
}

before(async () => {
  for (const name of kFiles) {
    original[name] = fs.readFileSync(path.join(source, "examples/walk", name));
    fs.writeFileSync(file(name), original[name]);
  }
  ({child: watch, address: url} = await StartWatch(["--scale", String(kScale)]));
  browser = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  page = await browser.newPage();
  await page.goto(url + "#frame=3");
  await page.waitForFunction(() => document.getElementById("frame").textContent !== "");
});

after(async () => {
  if (browser) await browser.close();
  if (watch && watch.exitCode === null) watch.kill("SIGKILL");
  fs.rmSync(dir, {recursive: true, force: true});
  fs.rmSync(scratch, {recursive: true, force: true});
  fs.rmSync(profile, {recursive: true, force: true});
});

test("preview's page shows what the timeline puts on view and asks for nothing", async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "flipdeck-preview-"));
  for (const name of kFiles) fs.writeFileSync(path.join(folder, name), original[name]);
  // Q is walk2 in other colours; its name must reach the page as text,
  // never as markup. Its view shows for no frame and the last one for fewer
  // than none: a pass is P for 2 frames, then R for 5, one more than
  // FRAME_LENGTH.
  const other = OtherPalette();
  fs.writeFileSync(path.join(folder, "other.tlf"), other);
  const q = "Q\"</script><b>";
  fs.appendFileSync(path.join(folder, "walk.tpf"), "PICT_NUM = 5\nPICT.2 = P,walk1.tmf,walk.tlf\n" +
    "PICT.3 = R,walk2.tmf,walk.tlf\nPICT.4 = " + q + ",walk2.tmf,other.tlf\n");
  fs.appendFileSync(path.join(folder, "walk.taf"), "FRAME_LENGTH = 6\nFRAME_KEY = 4\n" +
    "FRAME_KEY0 = 0,0,P\nFRAME_KEY1 = 2,0," + q + "\nFRAME_KEY2 = 2,0,R\nFRAME_KEY3 = 7,0,P\n" +
    "CAM.2.1 = 0," + q + "\n");
  execFileSync(kit, ["preview", "walk.taf", "--scale", "7"], {cwd: folder});
  const P = Picture(original["walk1.tmf"], original["walk.tlf"]);
  const R = Picture(original["walk2.tmf"], original["walk.tlf"]);
  const Q = Picture(original["walk2.tmf"], other);

  const shown = await browser.newPage();
  const asked = [];
  shown.on("request", (request) => asked.push(request.url()));
  try {
    const address = pathToFileURL(path.join(folder, "walk.html")).href;
    await shown.goto(address + "#frame=6");
    await shown.waitForFunction(() => document.getElementById("frame").textContent !== "");
    // Frame 6 lies past FRAME_LENGTH but inside the pass; 8 and 9 come round
    // again, to the last frame of P and the first of R.
    for (const [fragment, picture] of [["frame=6", R], ["frame=8", P], ["frame=9", R],
      ["cam=2,1", Q]]) {
      await shown.evaluate((f) => new Promise((resolve) => {
        if (location.hash === "#" + f) return resolve();
        addEventListener("hashchange", () => setTimeout(resolve), {once: true});
        location.hash = f;
      }), fragment);
      assert.ok(await StageShows(shown, picture, 7), fragment);
    }
    assert.equal(await shown.locator("#picture").textContent(), q);
    assert.equal(await shown.locator("b").count(), 0);
    assert.deepEqual(asked.filter((asking) => !asking.startsWith("data:")), [address]);
  } finally {
    await shown.close();
    await page.bringToFront();  // a page out of sight does not play
    fs.rmSync(folder, {recursive: true, force: true});
  }
});

test("an edited image, then an edited PNG, shows at the frame on view, which stays", async () => {
  assert.equal(await page.title(), "walk");
  const first = await Shown();
  assert.match(first.frame, /^3 of frames 0 to 29/);
  assert.equal(first.playing, false);
  const saves = [(index) => SaveByRename("walk1.tmf", PlainTmf(index)),
    (index) => SaveByRename("walk1.png", Png(PlainTmf(index), original["walk.tlf"]))];
  for (const save of saves) {
    const before = await Shown();
    // An opaque colour the centre does not show yet.
    const index = [1, 2, 3, 4, 5, 6].find((i) =>
      PaletteColour(i).some((channel, c) => channel !== before.centre[c]));
    const seen = await Updates();
    save(index);
    // One update: watch's own write of walk1.tmf, made again from the PNG, is none.
    assert.equal(await UpdatesAfter(seen), 1);
    const shown = await Shown();
    assert.deepEqual(shown.centre, PaletteColour(index));
    assert.equal(shown.frame, first.frame);
    assert.equal(shown.playing, false);
    assert.equal(shown.width, first.width);  // the scale stays
    assert.equal(shown.problems, null);
  }
});

test("a broken save keeps the animation playing under check's messages, a warning beside it",
  async () => {
    await page.click("#play");
    const seen = await Updates();
    fs.appendFileSync(file("walk.taf"), "FRAME_KEY1 = 10,0,nothere\n");
    assert.equal(await UpdatesAfter(seen), 1);
    const first = await Shown();
    assert.match(first.problems, /^walk\.taf:28: error: picture `nothere` is not in project 0/m);
    assert.equal(first.playing, true);
    await sleep(300);
    const later = await Shown();
    assert.notEqual(later.frame, first.frame);  // still playing
    assert.notDeepEqual(later.centre, [0, 0, 0]);

    SaveByRename("walk.taf", original["walk.taf"] + "FRAMEKEY1 = 10,0,walk2\n");
    assert.equal(await UpdatesAfter(seen + 1), 1);
    const warned = await Shown();
    assert.equal(warned.problems, null);
    assert.match(warned.messages,
      /^walk\.taf:28: warning: flipdeck never reads FRAMEKEY1; did you mean FRAME_KEY1\?/m);
    SaveByRename("walk.taf", original["walk.taf"]);
    assert.equal(await UpdatesAfter(seen + 2), 1);
    assert.equal((await Shown()).messages, null);
  });

test("a PNG whose colours overflow the palette shows sync's message and changes no file",
  async () => {
    const seen = await Updates();
    SaveByRename("walk1.png", Png(Tmf((i) => i & 15), OtherPalette()));
    assert.equal(await UpdatesAfter(seen), 1);
    assert.match((await Shown()).problems, new RegExp("^walk1\\.png: error: pixel " +
      "\\(\\d+, \\d+\\) is #[0-9a-f]{8}, which has no place in walk\\.tlf: its 16 entries are " +
      "all in use; nothing written$", "m"));
    assert.deepEqual(fs.readFileSync(file("walk.tlf")), original["walk.tlf"]);

    // The PNG as it was: its picture made again as it was, and no panel.
    SaveByRename("walk1.png", original["walk1.png"]);
    assert.equal(await UpdatesAfter(seen + 1), 1);
    assert.equal((await Shown()).problems, null);
    assert.deepEqual(fs.readFileSync(file("walk1.tmf")), original["walk1.tmf"]);
  });

test("a project a new key frame names is watched from then on", async () => {
  const seen = await Updates();
  fs.appendFileSync(file("walk.taf"), "TPF.NUM = 2\nTPF.1.FILE = more.tpf\nFRAME_KEY = 3\n" +
    "FRAME_KEY2 = 20,1,run\n");
  assert.equal(await UpdatesAfter(seen), 1);
  assert.match((await Shown()).problems, /^walk\.taf:\d+: error: project more\.tpf does not exist/m);
  fs.writeFileSync(file("more.tpf"), "PICT_NUM = 1\nPICT.0 = run,walk2.tmf,walk.tlf\n");
  assert.equal(await UpdatesAfter(seen + 1), 1);
  const shown = await Shown();
  assert.equal(shown.problems, null);
  assert.deepEqual(shown.steps.slice(2), ["walk2.tmf@more.tpf"]);
});

test("Ctrl-C ends it leaving no file", async () => {
  await page.close();
  assert.equal(await Interrupt(watch), 0);
  assert.deepEqual(fs.readdirSync(dir).sort(), [...kFiles, "more.tpf"].sort());
});

test("--host beyond the loopback address warns; a port in use is refused", async () => {
  const {child, address} = await StartWatch(["--host", "0.0.0.0"]);
  const port = new URL(address).port;
  const second = spawn(kit, ["watch", "walk.taf", "--host", "0.0.0.0", "--port", port], {cwd: dir});
  let err = "";
  second.stderr.on("data", (data) => { err += data; });
  const code = await new Promise((resolve) => second.on("close", resolve));
  assert.equal(code, 1);
  assert.match(err, new RegExp("error: 0\\.0\\.0\\.0:" + port + ": cannot listen there: "));
  assert.equal(await Interrupt(child, "SIGTERM"), 0);
  assert.match(child.stderrText, /warning: 0\.0\.0\.0: listens beyond this machine/);
});

test("--open hands the page's address to the desktop's opener, or says there is none", async () => {
  // A stand-in for the opener, under both names it goes by, that notes
  // what it is given.
  const bin = fs.mkdtempSync(path.join(os.tmpdir(), "flipdeck-opener-"));
  const noted = path.join(bin, "opened");
  for (const name of ["xdg-open", "open"]) {
    fs.writeFileSync(path.join(bin, name), "#!/bin/sh\necho \"$@\" > '" + noted + "'\n", {mode: 0o755});
  }
  const env = {...process.env, PATH: bin + path.delimiter + process.env.PATH};
  const {child, address} = await StartWatch(["--open"], env);
  for (let i = 0; i < 50 && !fs.existsSync(noted); ++i) await sleep(100);
  assert.equal(await Interrupt(child, "SIGHUP"), 0);
  assert.equal(fs.readFileSync(noted, "utf8"), address + "\n");

  // Where there is none, it says to open the address by hand.
  fs.rmSync(path.join(bin, "xdg-open"));
  fs.rmSync(path.join(bin, "open"));
  const alone = await StartWatch(["--open"], {...process.env, PATH: bin});
  const told = () => alone.child.stderrText.includes("open the address");
  for (let i = 0; i < 50 && !told(); ++i) await sleep(100);
  assert.equal(await Interrupt(alone.child), 0);
  assert.match(alone.child.stderrText,
    new RegExp("warning: " + alone.address.replace(/[.]/g, "\\.") + ": .*; open the address in a " +
      "browser"));
  fs.rmSync(bin, {recursive: true, force: true});
});
