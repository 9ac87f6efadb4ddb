// Times an exported web page in headless Chromium (median of RUNS runs):
// how long the still frame "#seed=1&frame=FRAMES" takes from opening the page
// to its last frame, and how many frames a second live play draws over 5 s.
//   node bench/web_page_bench.js CHROMIUM PAGE [FRAMES=2500] [RUNS=3]
// The page comes from `fuifje --export page.html`.
'use strict';
const path = require('path');
const { Browser } = require('../tests/web/chromium.js');

const [chromium, page, frames = '2500', runs = '3'] = process.argv.slice(2);
const url = 'file://' + path.resolve(page);
const state = 'document.documentElement.dataset.state';

function median(values) {
    const sorted = values.slice().sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}

// Seconds from opening the page to the still frame on the screen.
async function stillSeconds(browser) {
    await browser.open('about:blank');
    const start = Date.now();
    await browser.open(url + '#seed=1&frame=' + frames);
    await browser.waitFor(state + ' === "still-done"', 600);
    return (Date.now() - start) / 1000;
}

// Frames drawn per second over 5 s of live play.
async function liveRate(browser) {
    await browser.open('about:blank');
    await browser.open(url);
    await browser.waitFor(state + ' === "welcome"', 60);
    await browser.click('open');
    const count = 'document.getElementById("screen").framesPresented || 0';
    await browser.waitFor(count + ' > 0', 30);
    const first = await browser.evaluate(count), start = Date.now();
    await new Promise((resolve) => setTimeout(resolve, 5000));
    return ((await browser.evaluate(count)) - first) * 1000 / (Date.now() - start);
}

(async () => {
    const browser = await Browser.launch(chromium);
    try {
        const still = [], live = [];
        for (let run = 0; run < Number(runs); run++) {
            still.push(await stillSeconds(browser));
            live.push(await liveRate(browser));
        }
        console.log(`still frame ${frames}: median ${median(still).toFixed(2)} s (${still.map((s) => s.toFixed(2)).join(', ')})`);
        console.log(`live play: median ${median(live).toFixed(1)} frames/s (${live.map((r) => r.toFixed(1)).join(', ')})`);
    } finally {
        await browser.close();
    }
})().catch((error) => {
    console.error(error.message || error);
    process.exit(1);
});
