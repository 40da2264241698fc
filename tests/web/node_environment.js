// The test programs built for WebAssembly run under Node: they see the
// environment's variables (KELVRIN_MONKEY_SEEDS ...) as the native ones do.
Module.preRun = (Module.preRun || []).concat(() => Object.assign(ENV, process.env));
