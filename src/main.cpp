// The game's entry point: everything else lives in the libraries.
int main() { return 0; }
