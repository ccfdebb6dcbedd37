// Entry point of the update copier.
int main() { return 1; }
