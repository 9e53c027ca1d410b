'use strict';
// Plays the plug-in's side of the editor in headless Chromium: serves the page, injects the host's scripts, records posts.
const fs = require('node:fs');
const path = require('node:path');
const { before, after } = require('node:test');
const { chromium } = require('playwright-core');
const { loadFixtures } = require('./fixtures');

const kRepo = path.resolve(__dirname, '..', '..');
// The page as the build writes it from resources/web/src (KYR_PAGE names another build's).
const kPagePath = process.env.KYR_PAGE || path.join(kRepo, 'build', 'web', 'index.html');
const kPageUrl = 'https://kyr-editor.example/index.html';

const kLaunchArgs = ['--no-sandbox', '--headless=new', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// The scripts the web view host registers, byte for byte.
const kInjectedScripts = [
  'function IPluginSendMsg(m) {window.chrome.webview.postMessage(m)};',
  'document.addEventListener(\'keydown\', function(e) { if(document.activeElement.type != "text") { IPluginSendMsg({\'msg\': \'SKPFUI\', \'keyCode\': e.keyCode, \'utf8\': e.key, \'S\': e.shiftKey, \'C\': e.ctrlKey, \'A\': e.altKey, \'isUp\': false}); }});',
  'document.addEventListener(\'keyup\', function(e) { if(document.activeElement.type != "text") { IPluginSendMsg({\'msg\': \'SKPFUI\', \'keyCode\': e.keyCode, \'utf8\': e.key, \'S\': e.shiftKey, \'C\': e.ctrlKey, \'A\': e.altKey, \'isUp\': true}); }});',
];

// Stand-in for the browser's message channel: the host receives each posted object as its JSON text.
const kWebViewStub = 'window.chrome = window.chrome || {}; window.__kyrPosted = [];'
  + 'window.chrome.webview = { postMessage: function (m) { window.__kyrPosted.push(JSON.stringify(m)); } };';

function screenshotDir() {
  const dir = process.env.KYR_SCREENSHOT_DIR || path.join(kRepo, 'build', 'screenshots');
  fs.mkdirSync(dir, { recursive: true });
  return dir;
}

const launch = () => chromium.launch({ executablePath: '/usr/bin/chromium', args: kLaunchArgs });

class Editor {
  constructor(page, context) {
    Object.assign(this, { page, context, consoleErrors: [], pageErrors: [], requests: [] });
  }

  // Runs statements in the page, as the host's script execution does.
  async run(...statements) { for (const s of statements.flat()) await this.page.evaluate(s); }

  // The plug-in's page-load sequence: descriptions, then every value.
  async load(fixtures) { await this.run(fixtures.params, fixtures.values); }

  // A read-only view of the page's state: window.KyrEditor[fn](...args).
  async kyr(fn, ...args) { return this.page.evaluate(([f, a]) => window.KyrEditor[f](...a), [fn, args]); }

  async text(name) { return this.kyr('text', name); }

  // Messages posted by the page, parsed, optionally only since a mark.
  async posted(since = 0) {
    return (await this.page.evaluate((n) => window.__kyrPosted.slice(n), since)).map((t) => JSON.parse(t));
  }

  async mark() { return this.page.evaluate(() => window.__kyrPosted.length); }

  // Parameter messages only (key forwarding and the page state kept by the plug-in left out).
  async edits(since = 0) {
    return (await this.posted(since)).filter((m) => m.msg !== 'SKPFUI' && !(m.msg === 'SAMFUI' && m.msgTag === 12));
  }

  async frame() { await this.page.evaluate(() => new Promise((r) => requestAnimationFrame(() => r()))); }

  locator(name, role) {
    const scope = this.page.locator(`[data-param="${name}"]`).first();
    return role ? scope.locator(`[data-role="${role}"]`).first() : scope;
  }

  // The centre of a knob's dial, with the mouse moved there.
  async hoverKnob(name) {
    const box = await this.page.locator(`[data-param="${name}"] .knob-svg`).boundingBox();
    const c = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    await this.page.mouse.move(c.x, c.y);
    return c;
  }

  async close() { await this.context.close(); }
}

// Opens the page in a new context; dpr: device scale factor, csp: a Content-Security-Policy header.
async function openEditor(browser, { dpr = 1, csp = null } = {}) {
  const context = await browser.newContext({ viewport: { width: 1200, height: 560 }, deviceScaleFactor: dpr });
  const page = await context.newPage();
  page.setDefaultTimeout(5000);
  const editor = new Editor(page, context);
  page.on('console', (m) => { if (m.type() === 'error') editor.consoleErrors.push(m.text()); });
  page.on('pageerror', (e) => editor.pageErrors.push(String(e)));
  await context.route('**/*', async (route) => {
    const url = route.request().url();
    if (url === kPageUrl) {
      const headers = { 'content-type': 'text/html; charset=utf-8' };
      if (csp) headers['content-security-policy'] = csp;
      await route.fulfill({ status: 200, headers, body: fs.readFileSync(kPagePath, 'utf8') });
    } else {
      editor.requests.push(url);
      await route.abort();
    }
  });
  // The browser's own new-document hook runs each script at the document's top level, as the host's does.
  const cdp = await context.newCDPSession(page);
  await cdp.send('Page.enable');
  for (const source of [kWebViewStub, ...kInjectedScripts]) {
    await cdp.send('Page.addScriptToEvaluateOnNewDocument', { source });
  }
  await page.goto(kPageUrl);
  return editor;
}

// One browser per test file; each test opens its own editor page in a fresh context and closes it afterwards.
function useBrowser() {
  const session = { browser: null, fixtures: loadFixtures() };
  before(async () => { session.browser = await launch(); });
  after(async () => { if (session.browser) await session.browser.close(); });
  // Runs fn with an editor page (loaded: the plug-in's page-load sequence already run), closed afterwards.
  const using = (load) => async (fn, options) => {
    const editor = await openEditor(session.browser, options);
    try {
      if (load) await editor.load(session.fixtures);
      return await fn(editor);
    } finally {
      await editor.close();
    }
  };
  session.withLoaded = using(true);
  session.withBlank = using(false);
  return session;
}

// The gesture messages that one complete edit of a parameter produces.
const gesture = (paramIdx, ...values) =>
  [{ msg: 'BPCFUI', paramIdx }, ...values.map((value) => ({ msg: 'SPVFUI', paramIdx, value })), { msg: 'EPCFUI', paramIdx }];

module.exports = { launch, openEditor, screenshotDir, useBrowser, gesture, kPagePath, kRepo };
