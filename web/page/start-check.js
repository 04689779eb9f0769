// Says why when the page's modules did not run: opened as a file, the
// browser refuses them; elsewhere the browser is too old or files are
// missing. A plain script, so that it runs where modules do not.
'use strict';

window.addEventListener('load', () => {
  if (document.body.dataset.page === 'started') return;
  const error = document.getElementById('error');
  error.textContent =
    location.protocol === 'file:'
      ? 'Opened as a file, this page cannot run: browsers run its scripts only from a web server, for example "make serve" or any static file server.'
      : 'The page could not start: its scripts did not load (a current version of Chrome, Edge, Firefox or Safari runs them).';
  error.hidden = false;
  document.getElementById('status').textContent = 'The page is not running.';
});
