// Headless Chromium driven over its DevTools pipe (--remote-debugging-pipe),
// with nothing but Node: open a page in a fresh profile with no network, run
// script in it, wait for it, take screenshots, and collect what it logs as an
// error. The tests of the exported web page use it.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

// The flags every test run uses: headless, no sandbox (the tests may run as
// root), a fresh profile, and every host name unresolvable, so a page that
// reached for the network would fail visibly. Sound needs a click, as in
// every browser.
function chromiumFlags(profile, width, height) {
    return ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--no-default-browser-check',
            '--disable-background-networking', '--disable-component-update', '--disable-sync',
            '--host-resolver-rules=MAP * ~NOTFOUND',
            '--user-data-dir=' + profile, '--window-size=' + width + ',' + height, '--remote-debugging-pipe',
            'about:blank'];
}

class Browser {
    // Starts Chromium (the program at executable) with a window of width x height.
    static async launch(executable, width = 800, height = 600) {
        const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fuifje-chromium-'));
        const child = spawn(executable, chromiumFlags(profile, width, height),
                            { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
        const browser = new Browser(child, profile);
        await browser.attach(width, height);
        return browser;
    }

    constructor(child, profile) {
        this.child = child;
        this.profile = profile;
        this.nextId = 1;
        this.pending = new Map();
        this.errors = [];      // what the page reported as an error
        this.requests = [];    // every URL the page asked for
        this.handlers = [];
        let buffer = '';
        child.stdio[4].on('data', (chunk) => {
            buffer += chunk.toString('utf8');
            // Messages end in a zero byte.
            for (let end; (end = buffer.indexOf('\0')) >= 0; buffer = buffer.slice(end + 1))
                this.receive(JSON.parse(buffer.slice(0, end)));
        });
        child.stderr.on('data', () => {}); // Chromium's own chatter is not the page's
    }

    receive(message) {
        if (message.id && this.pending.has(message.id)) {
            const { resolve, reject } = this.pending.get(message.id);
            this.pending.delete(message.id);
            if (message.error) reject(new Error(JSON.stringify(message.error)));
            else resolve(message.result);
            return;
        }
        if (message.method === 'Runtime.exceptionThrown')
            this.errors.push('exception: ' + message.params.exceptionDetails.exception?.description);
        else if (message.method === 'Runtime.consoleAPICalled' && message.params.type === 'error')
            this.errors.push('console.error: ' + message.params.args.map((a) => a.value ?? a.description).join(' '));
        else if (message.method === 'Log.entryAdded' && message.params.entry.level === 'error')
            this.errors.push('log: ' + message.params.entry.text);
        else if (message.method === 'Network.requestWillBeSent')
            this.requests.push(message.params.request.url);
        for (const handler of this.handlers) handler(message);
    }

    // Sends a DevTools command (to the page once attached) and returns its result.
    send(method, params = {}, sessionId = this.session) {
        const id = this.nextId++;
        const message = { id, method, params };
        if (sessionId) message.sessionId = sessionId;
        this.child.stdio[3].write(JSON.stringify(message) + '\0');
        return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
    }

    async attach(width, height) {
        const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' }, null);
        const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true }, null);
        this.session = sessionId;
        for (const domain of ['Page', 'Runtime', 'Log', 'Network']) await this.send(domain + '.enable');
        await this.send('Emulation.setDeviceMetricsOverride',
                        { width, height, deviceScaleFactor: 1, mobile: false });
    }

    // Opens url and waits until it has loaded.
    async open(url) {
        const loaded = new Promise((resolve) => this.handlers.push((message) => {
            if (message.method === 'Page.loadEventFired') resolve();
        }));
        await this.send('Page.navigate', { url });
        await loaded;
        this.handlers = [];
    }

    // The value of a JavaScript expression in the page (awaited when it is a promise).
    async evaluate(expression) {
        const result = await this.send('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
        if (result.exceptionDetails) throw new Error(expression + ': ' + result.exceptionDetails.text);
        return result.result.value;
    }

    // Waits until expression is true in the page, checking every 100 ms; throws after seconds.
    async waitFor(expression, seconds) {
        const end = Date.now() + seconds * 1000;
        while (!(await this.evaluate(expression))) {
            if (Date.now() > end) throw new Error('still not true after ' + seconds + ' s: ' + expression);
            await new Promise((resolve) => setTimeout(resolve, 100));
        }
    }

    // Clicks the middle of the element with that id as a person would (the
    // browser counts it as the guest's gesture, which allows sound).
    async click(id) {
        const box = await this.evaluate('(() => { const r = document.getElementById("' + id +
                                        '").getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()');
        const mouse = { x: box[0], y: box[1], button: 'left', clickCount: 1 };
        await this.send('Input.dispatchMouseEvent', Object.assign({ type: 'mousePressed' }, mouse));
        await this.send('Input.dispatchMouseEvent', Object.assign({ type: 'mouseReleased' }, mouse));
    }

    // A PNG screenshot of the page as it is shown.
    async screenshot(file) {
        const { data } = await this.send('Page.captureScreenshot', { format: 'png' });
        fs.writeFileSync(file, Buffer.from(data, 'base64'));
    }

    // Ends Chromium and removes its profile.
    async close() {
        await this.send('Browser.close', {}, null).catch(() => {});
        await new Promise((resolve) => (this.child.exitCode !== null ? resolve() : this.child.on('exit', resolve)));
        fs.rmSync(this.profile, { recursive: true, force: true });
    }
}

module.exports = { Browser };
