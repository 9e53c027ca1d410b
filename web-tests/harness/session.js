'use strict';
// One browser per test file; each test opens its own editor page in a fresh context and closes it afterwards.
const { before, after } = require('node:test');
const { launch, openEditor } = require('./host');
const { loadFixtures } = require('./fixtures');

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

module.exports = { useBrowser, gesture };
