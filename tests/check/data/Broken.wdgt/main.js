function start() {}
