// What this browser lacks for the engine, as one sentence; null when nothing.
export function missingFeature() {
  if (typeof WebAssembly !== 'object' || typeof Worker !== 'function' || !('crossOriginIsolated' in self))
    return 'This browser is too old for the engine: it needs WebAssembly with threads (SharedArrayBuffer), found in current versions of Chrome, Edge, Firefox and Safari.';
  if (!self.crossOriginIsolated)
    return 'The engine cannot start: this page was served without cross-origin isolation (the headers Cross-Origin-Opener-Policy: same-origin and Cross-Origin-Embedder-Policy: require-corp), which its threads need; serve it with "make serve".';
  try {
    const memory = new WebAssembly.Memory({ initial: 1, maximum: 1, shared: true });
    if (!(memory.buffer instanceof SharedArrayBuffer)) throw new Error('not shared');
  } catch {
    return 'The engine cannot start: this browser has no WebAssembly threads (shared memory); a current version of Chrome, Edge, Firefox or Safari has them.';
  }
  return null;
}
