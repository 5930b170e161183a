// The preview page's markup and style. The content policy allows nothing
// but the page's own inline style and script and the data URIs of its
// pictures: an artist's browser makes no request while the page is open.
#include "kit/preview/preview_assets.h"

const char kPreviewHead[] = R"HTML(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; img-src data:; style-src 'unsafe-inline'; script-src 'unsafe-inline'">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>flipdeck-kit preview</title>
<style>
)HTML";

const char kPreviewStyle[] = R"HTML(
body { margin: 16px; font: 14px/1.4 sans-serif; color: #222; background: #f4f4f4; }
h1 { font-size: 18px; margin: 0 0 12px; }
h2 { font-size: 16px; margin: 24px 0 8px; }
#player { display: flex; flex-wrap: wrap; gap: 16px; align-items: flex-start; }
/* The canvas keeps its own pixels: no smoothing when the screen scales it. */
canvas { image-rendering: pixelated; image-rendering: crisp-edges; display: block; }
#stage { background: #f4f4f4; }
#side { min-width: 280px; max-width: 560px; }
#controls { display: flex; flex-wrap: wrap; gap: 8px; align-items: center; margin-bottom: 8px; }
#controls button { min-width: 44px; }
#play { min-width: 64px; }
#scrub { width: 100%; margin: 4px 0 12px; }
#fps { width: 5em; }
dl { display: grid; grid-template-columns: max-content auto; gap: 2px 12px; margin: 0; }
dt { color: #666; }
dd { margin: 0; overflow-wrap: anywhere; }
.note { color: #666; }
#grid table { border-collapse: collapse; }
#grid th { font-weight: normal; color: #666; padding: 0 4px; }
#grid td { width: 40px; height: 40px; padding: 1px; border: 1px solid #ddd; text-align: center; }
#grid td.filled { cursor: pointer; background: #fff; }
#grid td.on { outline: 2px solid #2a6fdb; }
#grid td canvas { margin: auto; }
#grid ul { list-style: none; padding: 0; display: flex; flex-wrap: wrap; gap: 8px; }
#grid li { cursor: pointer; text-align: center; }
</style>
</head>
)HTML";

const char kPreviewBody[] = R"HTML(<body>
<h1 id="title"></h1>
<section id="player">
<canvas id="stage" width="1" height="1"></canvas>
<div id="side">
<div id="controls">
<button type="button" id="back" title="One frame back (left arrow)">&#9664;&#9646;</button>
<button type="button" id="play" title="Play or pause (space)">Play</button>
<button type="button" id="forward" title="One frame forward (right arrow)">&#9646;&#9654;</button>
<label><input type="checkbox" id="loop" checked> loop</label>
<label>fps <input type="number" id="fps" min="1" max="1000" step="1"></label>
</div>
<input type="range" id="scrub" min="0" max="0" value="0" aria-label="frame">
<dl>
<dt>Frame</dt><dd id="frame"></dd>
<dt>Key</dt><dd id="key"></dd>
<dt>Picture</dt><dd id="picture"></dd>
<dt>Project</dt><dd id="project"></dd>
<dt>TMF</dt><dd id="tmf"></dd>
<dt>TLF</dt><dd id="tlf"></dd>
<dt>Size</dt><dd id="size"></dd>
</dl>
<p class="note" id="notes"></p>
</div>
</section>
<section id="camera" hidden>
<h2>Camera grid</h2>
<p class="note" id="camera-note"></p>
<div id="grid"></div>
</section>
<div hidden id="pictures">
)HTML";
