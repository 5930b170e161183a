// How fast flipdeck-kit watch follows a save, and what it costs while
// nothing changes, measured in Debian's Chromium (driven by playwright-core
// from tools/browser).
//
//   tools/browser/run.sh bench/watch_bench.mjs CHROMIUM BUILD_DIR [EDITS]
//
// Latency: watch serves make_workload's `live` animation (32 key frames,
// each its own 8-bit 64 x 64 picture); the page sits paused on the first
// one. EDITS times (default 20) a new first picture is written beside its
// file and renamed into place; the time runs from just before the rename
// to the first animation frame after the page has drawn the new pixels
// (checked on the canvas), both read from this machine's clock. Once with
// the TMF image saved, once with the PNG art of the same animation made a
// project by flipdeck-kit new, which watch syncs before it reads.
// Idle: watch serves W1 (64 pictures of 512 x 512) with the page open and
// its event stream connected; its CPU time (its threads' schedstat, /proc)
// over 30 s of no change, as a share of one core.
import { execFileSync, spawn } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { performance } from "node:perf_hooks";
import { pathToFileURL } from "node:url";

const [chromiumPath, build, editsArg] = process.argv.slice(2);
const edits = Number(editsArg || 20);
const here = path.dirname(new URL(import.meta.url).pathname);
const { chromium } = await import(
  pathToFileURL(path.join(here, "../tools/browser/node_modules/playwright-core/index.mjs")).href);

const kit = path.resolve(build, "flipdeck-kit");
const work = fs.mkdtempSync(path.join(os.tmpdir(), "flipdeck-watch-bench-"));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function StartWatch(dir) {
  const child = spawn(kit, ["watch", "anim.taf"], {cwd: dir, stdio: ["ignore", "pipe", "inherit"]});
  return new Promise((resolve, reject) => {
    let out = "";
    child.stdout.on("data", (data) => {
      out += data;
      const address = out.match(/http:\/\/\S+\//);
      if (address) resolve({child, url: address[0]});
    });
    child.on("exit", (code) => reject(new Error("watch ended with " + code)));
  });
}

function Stop(child) {
  return new Promise((resolve) => {
    child.on("exit", resolve);
    child.kill("SIGINT");
  });
}

// A TMF file like `tmf` (an 8-bit image) whose every pixel is `index`.
function Plain(tmf, index) {
  const bytes = Buffer.from(tmf);
  bytes.fill(index, 64);
  return bytes;
}

// Two indices of `tlf` whose colours are opaque and differ, and those
// colours as the page draws them.
function TwoColours(tlf) {
  const found = [];
  for (let i = 0; i < 256 && found.length < 2; ++i) {
    const entry = tlf.readUInt16BE(64 + 2 * i);
    const widen = (c) => (c << 3) | (c >> 2);
    const rgb = [widen(entry >> 11), widen((entry >> 6) & 31), widen((entry >> 1) & 31)];
    if ((entry & 1) && !found.some((f) => f.rgb.join() === rgb.join())) found.push({index: i, rgb});
  }
  return found;
}

function Percentile(sorted, p) {
  return sorted[Math.min(sorted.length - 1, Math.ceil(p * sorted.length) - 1)];
}

// The CPU time `pid`'s threads have used, in seconds: the first field of
// each one's schedstat, in nanoseconds (its stat counts in ticks of 10 ms,
// too coarse for an idle process). watch's threads live as long as it does.
function CpuSeconds(pid) {
  const tasks = "/proc/" + pid + "/task";
  let nanoseconds = 0;
  for (const task of fs.readdirSync(tasks)) {
    nanoseconds += Number(fs.readFileSync(path.join(tasks, task, "schedstat"), "utf8").split(" ")[0]);
  }
  return nanoseconds / 1e9;
}

// The live animation as an artist's project: each picture exported to a
// PNG through its palette, and flipdeck-kit new making a project of them
// that records its art. What a save of the first picture writes, for each
// of `colours`: a PNG whose every pixel is that colour.
function PngProject(colours) {
  const live = path.join(work, "live");
  const dir = path.join(work, "live-png");
  fs.mkdirSync(dir);
  const Export = (tmf, png) => execFileSync(kit, ["export", tmf, path.join(live, "pal0.tlf"),
    "-o", png]);
  const names = [];
  for (let i = 0; i < 32; ++i) {
    const name = "p" + String(i).padStart(3, "0");
    Export(path.join(live, name + ".tmf"), path.join(dir, name + ".png"));
    names.push(name + ".png");
  }
  execFileSync(kit, ["new", "anim", ...names], {cwd: dir});
  const tmf = fs.readFileSync(path.join(live, "p000.tmf"));
  const saves = colours.map((colour, i) => {
    const plain = path.join(work, "plain" + i);
    fs.writeFileSync(plain + ".tmf", Plain(tmf, colour.index));
    Export(plain + ".tmf", plain + ".png");
    return fs.readFileSync(plain + ".png");
  });
  return {dir, file: path.join(dir, "p000.png"), saves};
}

// `save.file` saved EDITS times in `save.dir`, by rename, with the bytes
// of `save.saves` in turn, which show `colours` in turn.
async function Latency(browser, colours, save) {
  const {child, url} = await StartWatch(save.dir);
  const page = await browser.newPage();
  await page.goto(url + "#frame=0");
  await page.waitForFunction(() => document.getElementById("frame").textContent !== "");
  const times = [];
  for (let i = 0; i < edits; ++i) {
    const colour = colours[i % 2];
    // The page notes when it has drawn an update, and the next animation
    // frame: the one that shows it.
    const shown = page.evaluate(() => new Promise((resolve) => {
      document.addEventListener("flipdeck-update", () => requestAnimationFrame(() => {
        const pixel = document.getElementById("stage").getContext("2d").getImageData(2, 2, 1, 1);
        resolve({at: performance.timeOrigin + performance.now(), rgb: Array.from(pixel.data.slice(0, 3))});
      }), {once: true});
    }));
    await sleep(50);  // the listener is in place
    fs.writeFileSync(save.file + ".new", save.saves[i % 2]);
    const renamed = performance.timeOrigin + performance.now();
    fs.renameSync(save.file + ".new", save.file);
    const result = await shown;
    if (result.rgb.join() !== colour.rgb.join())
      throw new Error("edit " + i + ": the page shows " + result.rgb + ", not " + colour.rgb);
    times.push(result.at - renamed);
    await sleep(300);
  }
  await page.close();
  await Stop(child);
  const sorted = [...times].sort((a, b) => a - b);
  return {times, median: Percentile(sorted, 0.5), p90: Percentile(sorted, 0.9), max: sorted.at(-1)};
}

async function Idle(browser) {
  const {child, url} = await StartWatch(path.join(work, "w1"));
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForFunction(() => document.getElementById("frame").textContent !== "",
    null, {timeout: 60000});
  // Paused, as a page on a desk is while its artist edits; playing would
  // measure the browser, not watch.
  await page.evaluate(() => { location.hash = "#frame=0"; });
  await sleep(3000);
  const start = CpuSeconds(child.pid);
  await sleep(30000);
  const used = CpuSeconds(child.pid) - start;
  await page.close();
  await Stop(child);
  // What reading W1 and serving its page took before: the clock counts.
  return {seconds: used, share: used / 30, before: start};
}

try {
  execFileSync(path.resolve(build, "bench/make_workload"), [work]);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "flipdeck-chromium-"));
  const browser = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  const live = path.join(work, "live");
  const colours = TwoColours(fs.readFileSync(path.join(live, "pal0.tlf")));
  const tmf = fs.readFileSync(path.join(live, "p000.tmf"));
  const latency = await Latency(browser, colours, {dir: live, file: path.join(live, "p000.tmf"),
    saves: colours.map((colour) => Plain(tmf, colour.index))});
  const png = await Latency(browser, colours, PngProject(colours));
  const idle = await Idle(browser);
  await browser.close();
  fs.rmSync(profile, {recursive: true, force: true});
  const ms = (t) => t.toFixed(1) + " ms";
  for (const [what, result] of [["TMF images", latency], ["PNG art (synced)", png]]) {
    console.log("watch, " + edits + " renamed " + what + ", save to pixels on the page: median " +
      ms(result.median) + ", 90th percentile " + ms(result.p90) + " (target < 100 ms), worst " +
      ms(result.max));
    console.log("  each: " + result.times.map((t) => t.toFixed(0)).join(" ") + " ms");
  }
  console.log("watch, W1, idle for 30 s with the page open: " + (1000 * idle.seconds).toFixed(1) +
    " ms of CPU, " + (100 * idle.share).toFixed(3) + "% of a core (target < 1%); reading W1 and " +
    "serving its page took " + idle.before.toFixed(2) + " s before");
  console.log("machine: " + os.cpus().length + " CPUs, " + os.cpus()[0].model + ", load average " +
    os.loadavg().map((l) => l.toFixed(1)).join(" "));
} finally {
  fs.rmSync(work, {recursive: true, force: true});
}
