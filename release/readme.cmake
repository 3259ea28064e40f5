# Fills the Windows read-me's template with the version, the download address and zingel.exe's
# SHA-256. CRLF, since Notepad before Windows 10 shows a file with bare LF line ends as one line.
file(SHA256 "${EXE}" ZINGEL_EXE_SHA256)
configure_file("${TEMPLATE}" "${README}" @ONLY NEWLINE_STYLE CRLF)
