// A planted fault for the power-cut rounds: preloaded into the program, it makes every flush to
// disk return at once without flushing, so that the rounds must find what a power cut then loses.

extern "C" {
int fsync(int) {
    return 0;
}
int fdatasync(int) {
    return 0;
}
}
