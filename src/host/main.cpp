// Entry point: filled in by the start-up sequence.
int main() { return 0; }
