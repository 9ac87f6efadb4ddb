// The exported web page in headless Chromium, with no network:
//   node page_test.js CHROMIUM PAGE NATIVE_FRAME FRAME [SCREENSHOT_FOLDER]
// 1. The page names nothing outside itself (no URL of another file or host).
// 2. "#seed=1&frame=FRAME" shows frame FRAME of the native program: the
//    screenshot matches NATIVE_FRAME (the native snapshot of that frame)
//    within a mean absolute difference of 3 per channel, and letters, which the
//    browser rasterizes itself, may differ in at most 1% of the pixels.
// 3. Opened by the guest's click, the show plays its music and keeps pace: at least
//    30 frames per second over 5 s; Escape ends it and the first screen returns.
// 4. A start the browser does not count as the guest's (a script's click) gets
//    no sound, and the page's music button then starts it at a real click.
// No page asks for anything but itself and logs no error. With a screenshot
// folder, the first screen and the show are saved there as PNG.
'use strict';
const assert = require('assert');
const fs = require('fs');
const path = require('path');
const { Browser } = require('./chromium.js');
const { readPng } = require('./png.js');

const [chromium, page, nativeFrame, frame, shots] = process.argv.slice(2);
const url = 'file://' + path.resolve(page);
const state = 'document.documentElement.dataset.state';

// Addresses of other files or hosts in the page's text: a scheme with "//",
// or a src/href that is not a data: URL or an in-page anchor.
function externalReferences(text) {
    const found = text.match(/\b(?:https?|wss?|ftp):\/\/[^\s"'<>)]+/g) || [];
    const linked = text.match(/\b(?:src|href)\s*=\s*["'](?!data:|#|blob:)[^"']*["']/g) || [];
    return found.concat(linked);
}

// Mean absolute difference per channel, and the share of pixels that differ at all.
function compare(a, b) {
    assert.deepStrictEqual([a.width, a.height], [b.width, b.height], 'the screenshot has the frame\'s size');
    let sum = 0, differing = 0;
    for (let p = 0; p < a.width * a.height; p++) {
        let pixel = 0;
        for (let c = 0; c < 3; c++) pixel += Math.abs(a.rgb[p * 3 + c] - b.rgb[p * 3 + c]);
        sum += pixel;
        if (pixel) differing++;
    }
    return { mean: sum / (a.width * a.height * 3), share: differing / (a.width * a.height) };
}

async function stillFrame(browser, work) {
    await browser.open(url + '#seed=1&frame=' + frame);
    await browser.waitFor(state + ' === "still-done" || ' + state + ' === "failed"', 600);
    assert.strictEqual(await browser.evaluate(state), 'still-done', 'the still frame ran to its end');
    const shot = path.join(work, 'still.png');
    await browser.screenshot(shot);
    const { mean, share } = compare(readPng(shot), readPng(nativeFrame));
    console.log(`frame ${frame}: mean absolute difference ${mean.toFixed(3)}, ${(share * 100).toFixed(2)}% of pixels differ`);
    assert.ok(mean <= 3, 'the page shows the native frame');
    assert.ok(share <= 0.01, 'only letters differ');
    if (shots) fs.copyFileSync(shot, path.join(shots, 'web_show.png'));
}

async function livePlay(browser) {
    await browser.open(url);
    await browser.waitFor(state + ' === "welcome"', 60);
    if (shots) await browser.screenshot(path.join(shots, 'web_first_screen.png'));
    await browser.click('open');
    const frames = 'document.getElementById("screen").framesPresented || 0';
    await browser.waitFor(frames + ' > 0', 30);
    const first = await browser.evaluate(frames), start = Date.now();
    await new Promise((resolve) => setTimeout(resolve, 5000));
    const perSecond = ((await browser.evaluate(frames)) - first) * 1000 / (Date.now() - start);
    console.log(`live play: ${perSecond.toFixed(1)} frames per second`);
    assert.ok(perSecond >= 30, 'the show keeps its pace');
    assert.ok(await browser.evaluate('!Module.soundElement.paused && Module.soundElement.currentTime > 0'),
              'the music plays');
    await browser.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', key: 'Escape', code: 'Escape',
                                                    windowsVirtualKeyCode: 27 });
    await browser.waitFor(state + ' === "ended"', 10);
    assert.strictEqual(await browser.evaluate('document.documentElement.dataset.exitCode'), '0');
    assert.ok(await browser.evaluate('Module.soundElement.paused'), 'the music stops with the show');
}

async function refusedSound(browser) {
    await browser.open(url);
    await browser.waitFor(state + ' === "welcome"', 60);
    await browser.evaluate('document.getElementById("open").click()');
    await browser.waitFor('!document.getElementById("sound").hidden', 10);
    assert.ok(await browser.evaluate('Module.soundElement.paused'), 'no sound without the guest\'s gesture');
    await browser.click('sound');
    await browser.waitFor('!Module.soundElement.paused && Module.soundElement.currentTime > 0', 10);
    assert.ok(await browser.evaluate('document.getElementById("sound").hidden'), 'the button goes once it played');
}

(async () => {
    assert.deepStrictEqual(externalReferences(fs.readFileSync(page, 'latin1')), [], 'the page is self-contained');
    const work = fs.mkdtempSync(path.join(require('os').tmpdir(), 'fuifje-page-'));
    const browser = await Browser.launch(chromium);
    try {
        await stillFrame(browser, work);
        await livePlay(browser);
        await refusedSound(browser);
        const elsewhere = browser.requests.filter((request) => !/^(data:|blob:)/.test(request) && !request.startsWith(url));
        assert.deepStrictEqual(elsewhere, [], 'the page asks for nothing but itself');
        assert.deepStrictEqual(browser.errors, [], 'the page logs no errors');
    } finally {
        await browser.close();
        fs.rmSync(work, { recursive: true, force: true });
    }
})().catch((error) => {
    console.error(error.message || error);
    process.exit(1);
});
