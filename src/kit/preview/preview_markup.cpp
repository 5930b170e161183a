// The preview page's markup, around its style (page.css) and script
// (page.js). Its content policy (preview_page.cpp) allows nothing but the
// page's own inline style and script and the data URIs of its pictures: an
// artist's browser makes no request while the page is open.
#include "kit/preview/preview_assets.h"

const char kPreviewHead[] = R"HTML(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
)HTML";

const char kPreviewBody[] = R"HTML(</style>
</head>
<body>
<h1 id="title"></h1>
<section id="problems" hidden>
<h2 id="problems-title"></h2>
<pre id="problem-lines"></pre>
</section>
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
<section id="messages" hidden>
<h2>What check says</h2>
<pre id="message-lines"></pre>
</section>
<section id="camera" hidden>
<h2>Camera grid</h2>
<p class="note" id="camera-note"></p>
<div id="grid"></div>
</section>
<div hidden id="pictures">
)HTML";
