# The loopback HTTP(S) server of the download tests, with its self-signed certificate for
# 127.0.0.1, made at build time. Included by the tests' support folder, and by the benchmarks
# when a tree builds them without the tests.
set(tls_dir ${CMAKE_BINARY_DIR}/tests/tls)
add_custom_command(OUTPUT ${tls_dir}/fixture-cert.pem ${tls_dir}/fixture-key.pem
  COMMAND ${CMAKE_COMMAND} -E make_directory ${tls_dir}
  COMMAND openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes
          -keyout ${tls_dir}/fixture-key.pem -out ${tls_dir}/fixture-cert.pem -days 3650
          -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1
          -addext basicConstraints=critical,CA:TRUE 2>/dev/null
  COMMENT "Making the test TLS certificate")
add_custom_target(hxr_test_tls DEPENDS ${tls_dir}/fixture-cert.pem ${tls_dir}/fixture-key.pem)
add_library(hxr_httpfixture STATIC ${CMAKE_CURRENT_LIST_DIR}/httpfixture.cpp)
target_link_libraries(hxr_httpfixture PUBLIC Qt6::Network)
target_include_directories(hxr_httpfixture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(hxr_httpfixture PRIVATE HXR_TEST_TLS_DIR="${tls_dir}")
add_dependencies(hxr_httpfixture hxr_test_tls)
