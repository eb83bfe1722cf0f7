/* The host module's file as the version dialog finds it: only its version
 * resource matters here (the host itself is krxhost.exe). */
