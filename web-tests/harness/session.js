'use strict';
// One browser per test file; each test opens its own editor page in a fresh
// context and closes it afterwards.

const { before, after } = require('node:test');
const { launch, openEditor } = require('./host');
const { loadFixtures } = require('./fixtures');

function useBrowser() {
  const session = { browser: null, fixtures: loadFixtures() };
  before(async () => { session.browser = await launch(); });
  after(async () => { if (session.browser) await session.browser.close(); });
  // An editor page with the plug-in's page-load sequence already run.
  session.loaded = async (options) => {
    const editor = await openEditor(session.browser, options);
    await editor.load(session.fixtures);
    return editor;
  };
  session.blank = (options) => openEditor(session.browser, options);
  // Runs fn with an editor page that is closed afterwards, whatever happens.
  const using = (open) => async (fn, options) => {
    const editor = await open(options);
    try {
      return await fn(editor);
    } finally {
      await editor.close();
    }
  };
  session.withLoaded = using(session.loaded);
  session.withBlank = using(session.blank);
  return session;
}

// The gesture messages that one complete edit of a parameter produces.
function gesture(paramIdx, ...values) {
  return [
    { msg: 'BPCFUI', paramIdx },
    ...values.map((value) => ({ msg: 'SPVFUI', paramIdx, value })),
    { msg: 'EPCFUI', paramIdx },
  ];
}

module.exports = { useBrowser, gesture };
