// The page's start: loads the engine, then wires up both tabs. A failure to load shows
// on the page, not only on the console.
import { loadEngine } from './engine.js';
import { startConvertTab } from './convert_tab.js';
import { openZentraFile, startViewTab } from './view_tab.js';

const $ = (id) => document.getElementById(id);

function selectTab(name) {
  for (const tab of ['convert', 'view']) {
    $(`tab-${tab}`).setAttribute('aria-selected', String(tab === name));
    $(`panel-${tab}`).hidden = tab !== name;
  }
}

async function start() {
  $('tab-convert').addEventListener('click', () => selectTab('convert'));
  $('tab-view').addEventListener('click', () => selectTab('view'));
  document.addEventListener('zentra-open', async (event) => {
    selectTab('view');
    await openZentraFile(event.detail.name, event.detail.bytes);
  });
  const status = $('engine-state');
  try {
    await loadEngine();
    await startConvertTab();
    startViewTab();
    status.hidden = true;
    document.body.dataset.ready = 'yes';
  } catch (error) {
    status.textContent = `The engine could not be loaded: ${error.message || error}`;
    status.classList.add('error');
  }
}

start();
