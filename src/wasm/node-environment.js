// The programs run with node see the process's own environment (LANG and LC_* choose the
// language of --help, for one), not the C library's stand-in for a browser.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  if (typeof process === 'object' && process.env) Object.assign(ENV, process.env);
});
