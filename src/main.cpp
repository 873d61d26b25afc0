// tessaro.cgi: answers one CGI request and exits.
int main() { return 0; }
