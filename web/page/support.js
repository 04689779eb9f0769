// What this browser lacks for the engine. When only the host's cross-origin
// isolation headers are missing, a service worker adds them and the page
// loads once more.
const ISOLATION_WORKER = 'isolation-worker.js';
// Set for the one reload that the service worker's headers should isolate.
const RELOADED_KEY = 'marrowby-isolation-reload';

const TOO_OLD =
  'This browser is too old for the engine: it needs WebAssembly with threads (SharedArrayBuffer), found in current versions of Chrome, Edge, Firefox and Safari.';
const NOT_ISOLATED =
  'The engine cannot start: this page was served without cross-origin isolation (the headers Cross-Origin-Opener-Policy: same-origin and Cross-Origin-Embedder-Policy: require-corp), which its threads need, and this browser allows no service worker here to add them; serve it with the headers, for example by "make serve".';
const NO_THREADS =
  'The engine cannot start: this browser has no WebAssembly threads (shared memory); a current version of Chrome, Edge, Firefox or Safari has them.';

// Registers the service worker and loads the page again under it; false
// when the browser allows none or its headers did not isolate the page.
async function isolateByServiceWorker() {
  if (!window.isSecureContext || !navigator.serviceWorker) return false;
  if (sessionStorage.getItem(RELOADED_KEY)) return false;
  try {
    await navigator.serviceWorker.register(ISOLATION_WORKER);
    await navigator.serviceWorker.ready;
  } catch {
    return false;
  }
  sessionStorage.setItem(RELOADED_KEY, 'yes');
  location.reload();
  return true;
}

// Resolves to the sentence on what is missing, or to null when the engine
// can run; it never resolves when the page loads again to be isolated.
export async function missingFeature() {
  if (typeof WebAssembly !== 'object' || typeof Worker !== 'function' || !('crossOriginIsolated' in self)) return TOO_OLD;
  if (!self.crossOriginIsolated) {
    if (await isolateByServiceWorker()) return new Promise(() => {});
    return NOT_ISOLATED;
  }
  sessionStorage.removeItem(RELOADED_KEY);
  try {
    const memory = new WebAssembly.Memory({ initial: 1, maximum: 1, shared: true });
    if (!(memory.buffer instanceof SharedArrayBuffer)) throw new Error('not shared');
  } catch {
    return NO_THREADS;
  }
  return null;
}
