// The engine's Worker as the page talks to it: UCI lines out, lines in. Each
// go is answered by one bestmove, in order, so every search sent waits in a
// queue for its answer; a search the page no longer wants is cancelled and
// its answer dropped.

export class Engine {
  constructor({ onLine, onError }) {
    this.searches = [];
    this.onLine = onLine;
    this.worker = new Worker('engine-worker.js');
    this.worker.onmessage = (event) => {
      if (typeof event.data === 'string') this.receive(event.data);
      else onError(event.data.error);
    };
    this.worker.onerror = (event) => {
      event.preventDefault();
      onError(`The engine could not start: ${event.message || 'its script failed to load'}.`);
    };
  }

  send(line) {
    this.worker.postMessage(line);
  }

  // Sends the position and the go line; onInfo gets each info line of this
  // search, onBestMove its answer (the move word, "0000" when there is none).
  search(position, goLine, { onInfo, onBestMove }) {
    const search = { onInfo, onBestMove, cancelled: false };
    this.searches.push(search);
    this.send(position);
    this.send(goLine);
    return search;
  }

  // Ends every search still running; their answers are dropped.
  cancelSearches() {
    if (this.searches.length === 0) return;
    for (const search of this.searches) search.cancelled = true;
    this.send('stop');
  }

  // Ends the running search; its answer comes as usual.
  stop() {
    this.send('stop');
  }

  get searching() {
    return this.searches.some((search) => !search.cancelled);
  }

  receive(line) {
    const current = this.searches[0];
    if (line.startsWith('bestmove')) {
      this.searches.shift();
      if (current && !current.cancelled) current.onBestMove(line.split(' ')[1]);
      return;
    }
    if (line.startsWith('info ') && current && !current.cancelled && !line.startsWith('info string')) {
      current.onInfo(line);
      return;
    }
    this.onLine(line);
  }
}
